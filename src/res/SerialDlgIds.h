#pragma once
// Control ids of the serial port window (template 141).

enum SerialDlgId : int {
    IDD_SERIAL = 141,

    // Port settings
    IDC_SERIAL_BAUD = 1292,
    IDC_SERIAL_PARITY = 1293,
    IDC_SERIAL_FLOW = 1294,  // shown, never written
    IDC_SERIAL_GET_SETTINGS = 1295,
    IDC_SERIAL_SET_SETTINGS = 1296,
    IDC_SERIAL_TIMEOUT = 1301,  // units of 250 ms
    IDC_SERIAL_FLUSH = 1303,

    // Messages
    IDC_SERIAL_SEND = 1297,
    IDC_SERIAL_GET_MESSAGE = 1298,
    IDC_SERIAL_RECEIVED = 1299,
    IDC_SERIAL_MESSAGE = 1300,  // at most 64 characters
    IDC_SERIAL_HEX_VIEW = 1302,
    IDC_SERIAL_SELF_CLEAR = 1304,
    IDC_SERIAL_AUTO_GET = 1305,
};
