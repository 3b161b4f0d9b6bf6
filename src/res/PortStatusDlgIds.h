#pragma once
// Control ids of the switch port status window (template 135).

enum PortStatusDlgId : int {
    IDD_PORT_STATUS = 135,
    IDC_PS_REFRESH = 1204,
};

// Indicator columns of a port row, in the order of kStatusBits; the link
// quality number comes last.
enum PortStatusColumn : int { kColLink, kColSpeed, kColDuplex, kColRx, kColTx, kColLoop, kColQuality, kStatusColumns };

// Control of port p (0..7) and a column. Port 0 keeps its quality field
// between TX and Loop; ports 1..7 run in column order from 1212 + 7 (p - 1).
constexpr int StatusControl(int port, int column)
{
    if (port == 0) {
        constexpr int kPort0[kStatusColumns] = {1205, 1206, 1207, 1208, 1209, 1211, 1210};
        return kPort0[column];
    }
    return 1212 + 7 * (port - 1) + column;
}
