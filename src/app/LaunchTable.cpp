#include "app/LaunchTable.h"

#include "res/MainDlgIds.h"

// Adding a window is one row: its button, its kind and MakeFactory<CWindow>().
const LaunchTable& KalvorLaunchTable()
{
    static const LaunchTable table = {
        {IDC_SWITCH_CONFIGURATION, SubWindow::SwitchConfiguration, nullptr},
        {IDC_SWITCH_STATUS, SubWindow::PortStatus, nullptr},
        {IDC_SNMP_TRAPS, SubWindow::SnmpTraps, nullptr},
        {IDC_IO_PORTS, SubWindow::IoPorts, nullptr},
        {IDC_MAC_SEARCH, SubWindow::MacTable, nullptr},
        {IDC_RS232, SubWindow::Serial, nullptr},
    };
    return table;
}
