#include "app/LaunchTable.h"

#include "io/IoPortsDlg.h"
#include "res/MainDlgIds.h"
#include "serial/SerialDlg.h"
#include "switch/MacTableDlg.h"
#include "switch/PortStatusDlg.h"
#include "switch/SwitchDlg.h"
#include "traps/TrapDlg.h"

// Adding a window is one row: its button, its kind and MakeFactory<CWindow>().
const LaunchTable& KalvorLaunchTable()
{
    static const LaunchTable table = {
        {IDC_SWITCH_CONFIGURATION, SubWindow::SwitchConfiguration, MakeFactory<CSwitchDlg>()},
        {IDC_SWITCH_STATUS, SubWindow::PortStatus, MakeFactory<CPortStatusDlg>()},
        {IDC_SNMP_TRAPS, SubWindow::SnmpTraps, MakeFactory<CTrapDlg>()},
        {IDC_IO_PORTS, SubWindow::IoPorts, MakeFactory<CIoPortsDlg>()},
        {IDC_MAC_SEARCH, SubWindow::MacTable, MakeFactory<CMacTableDlg>()},
        {IDC_RS232, SubWindow::Serial, MakeFactory<CSerialDlg>()},
    };
    return table;
}
