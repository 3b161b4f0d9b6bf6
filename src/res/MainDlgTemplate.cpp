#include "res/MainDlgTemplate.h"

#include "platform/Dialog.h"
#include "res/MainDlgIds.h"

// Layout of the main window, in dialog units. From top to bottom: the module
// access group, the "IP Core Settings" group (wide fields on the left, short
// numeric fields and the pass buttons on the right), the operating modes in
// two columns, the command and window buttons, and the status line.
//
// A row is the top of its edit or IP address control; a one-line label sits
// two units lower, a two-line label two units higher. A group's title takes
// the top of its box, so its first row starts twelve units or more below it.

namespace {

// Labels and frames that no handler addresses.
enum : int {
    IDC_IP_LABEL = 1006,
    IDC_MACLOCK1_LABEL = 1012,
    IDC_CORE_GROUP = 1034,
    IDC_MODES_NOTE = 1035,
    IDC_PING_RESTART_LABEL = 1036,
    IDC_PING_COUNT_LABEL = 1038,
    IDC_MACLOCK2_LABEL = 1039,
    IDC_VLAN_TAG_LABEL = 1040,
    IDC_ACCESS_IP_LABEL = 1029,
    IDC_NETWORK_MASK_LABEL = 1089,
    IDC_GATEWAY_LABEL = 1092,
    IDC_TFTP_SERVER_LABEL = 1095,
    IDC_MONITOR_IP_LABEL = 1098,
    IDC_MAC_LABEL = 1099,
    IDC_ACCESS_MASK_LABEL = 1104,
    IDC_MODULE_ADDRESS_LABEL = 1106,
    IDC_RW_COMMUNITY_LABEL = 1110,
    IDC_RO_COMMUNITY_LABEL = 1112,
};

constexpr int kFieldCy = 12;
constexpr int kLabelCy = 9;
constexpr int kTwoLineLabelCy = 16;
constexpr int kButtonCy = 14;
constexpr int kTwoLineButtonCy = 20;
constexpr int kCheckCy = 10;
constexpr int kSetCx = 15;
constexpr int kMacLength = 17;  // "00:11:22:33:44:55"
constexpr int kCommunityLength = 12;

constexpr int Label(int row) { return row + 2; }
constexpr int TwoLineLabel(int row) { return row - 2; }

// Module access group.
constexpr int kAccessGroupY = 3;
constexpr int kAccessRow1 = 16;
constexpr int kAccessRow2 = 31;
constexpr int kAccessLabelX = 14;
constexpr int kAccessLabelCx = 40;
constexpr int kAccessFieldX = 56;
constexpr int kPassLabelX = 152;
constexpr int kPassLabelCx = 58;
constexpr int kPassFieldX = 212;
constexpr int kPassFieldCx = 66;

// Core settings group: the wide column (IP address controls and MAC texts).
constexpr int kCoreGroupY = 50;
constexpr int kWideLabelX = 14;
constexpr int kWideLabelCx = 48;
constexpr int kWideFieldX = 65;
constexpr int kWideFieldCx = 74;
constexpr int kWideSetX = 141;
constexpr int kRowIp = 62;
constexpr int kRowMac = 76;
constexpr int kRowMacLock1 = 90;
constexpr int kRowMacLock2 = 104;
constexpr int kRowNetworkMask = 119;  // two-line labels get a unit more on each side
constexpr int kRowGateway = 134;
constexpr int kRowTftpServer = 149;
constexpr int kRowAccessIp = 164;
constexpr int kRowAccessMask = 178;
constexpr int kRowMonitorIp = 193;

// Core settings group: the narrow column (counts and times, pass buttons).
constexpr int kNarrowLabelX = 161;
constexpr int kNarrowLabelCx = 73;
constexpr int kNarrowFieldX = 237;
constexpr int kNarrowFieldCx = 24;
constexpr int kNarrowSetX = 263;
constexpr int kNarrowColumnCx = 117;  // label x to the group's inner edge
constexpr int kRowVlanTag = 62;
constexpr int kRowPingRestart = 76;
constexpr int kRowPingCount = 90;
constexpr int kRowPulseLabel = 104;  // the label has a row of its own
constexpr int kRowPulse = 117;
constexpr int kPulseFieldCx = 29;  // five digits
constexpr int kPulseFieldX = kNarrowSetX - 2 - kPulseFieldCx;
constexpr int kActionX = 198;  // right-aligned action buttons
constexpr int kActionCx = 80;
constexpr int kRowChangeRw = 177;
constexpr int kRowChangeRo = 192;

// Operating modes group: word 1 on the left, word 2 on the right.
constexpr int kModesGroupY = 212;
constexpr int kModesLeftX = 14;
constexpr int kModesLeftCx = 120;
constexpr int kModesRightX = kNarrowLabelX;
constexpr int kModesRightCx = kNarrowColumnCx;
constexpr int Mode(int line) { return 224 + 10 * line; }
constexpr int kRowSetModes = 305;

// Buttons below the groups: device commands on the left, a 3 x 2 grid of
// window buttons on the right.
constexpr int kButtonRow1 = 325;
constexpr int kButtonRow2 = 347;
constexpr int kCommandX = 7;
constexpr int kWindowCx = 54;
constexpr int Window(int column) { return 117 + 57 * column; }

constexpr int kStatusY = 371;

constexpr unsigned kReadOnlyEdit = ES_READONLY | ES_AUTOHSCROLL;

DialogTemplate MakeMainDlg()
{
    return DialogTemplate {
    IDD_MAIN,
    "",
    292,
    kStatusY + kStatusLineCy + 3,
    {
        {IDC_READ_SETTINGS, ControlKind::DefPushButton, "Read Settings", 90, kAccessRow2 - 1, 56, kButtonCy},
        {IDC_IP, ControlKind::IpAddress, "", kWideFieldX, kRowIp, kWideFieldCx, kFieldCy},
        {IDC_SET_IP, ControlKind::PushButton, "Set", kWideSetX, kRowIp, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_MAC_LOCK1, ControlKind::Edit, "", kWideFieldX, kRowMacLock1, kWideFieldCx, kFieldCy, kReadOnlyEdit,
            kMacLength},
        {IDC_SET_MAC_LOCK1, ControlKind::PushButton, "Set", kWideSetX, kRowMacLock1, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_MAC_LOCK2, ControlKind::Edit, "", kWideFieldX, kRowMacLock2, kWideFieldCx, kFieldCy, kReadOnlyEdit,
            kMacLength},
        {IDC_SET_MAC_LOCK2, ControlKind::PushButton, "Set", kWideSetX, kRowMacLock2, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_VLAN_TAG, ControlKind::Edit, "", kNarrowFieldX, kRowVlanTag, kNarrowFieldCx, kFieldCy, kReadOnlyEdit},
        {IDC_SET_VLAN_TAG, ControlKind::PushButton, "Set", kNarrowSetX, kRowVlanTag, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_CHANGE_RW_PASS, ControlKind::PushButton, "Change R/W Pass", kActionX, kRowChangeRw, kActionCx, kButtonCy,
            WS_DISABLED},
        {IDC_PING_RESTART_MIN, ControlKind::Edit, "", kNarrowFieldX, kRowPingRestart, kNarrowFieldCx, kFieldCy,
            kReadOnlyEdit},
        {IDC_SET_PING_RESTART, ControlKind::PushButton, "Set", kNarrowSetX, kRowPingRestart, kSetCx, kFieldCy,
            WS_DISABLED},
        {IDC_MODE_SNMP_ACCESS, ControlKind::CheckBox, "SNMP access to IP settings", kModesLeftX, Mode(0), kModesLeftCx,
            kCheckCy},
        {IDC_MODE_SKIP_BROADCAST, ControlKind::CheckBox, "Skip broadcast packets", kModesLeftX, Mode(1), kModesLeftCx,
            kCheckCy},
        {IDC_MODE_VLAN_TAGGED, ControlKind::CheckBox, "VLAN tagged mode", kModesLeftX, Mode(2), kModesLeftCx, kCheckCy},
        {IDC_MODE_DROP_LARGE, ControlKind::CheckBox, "Drop large packets", kModesLeftX, Mode(3), kModesLeftCx,
            kCheckCy},
        {IDC_MODE_PING_RESTART, ControlKind::CheckBox, "Ping timeout restart", kModesLeftX, Mode(4), kModesLeftCx,
            kCheckCy},
        {IDC_MODE_SWITCH_CONTROL, ControlKind::CheckBox, "Trellim control mode*", kModesLeftX, Mode(5), kModesLeftCx,
            kCheckCy},
        {IDC_MODE_SECONDARY_RST, ControlKind::CheckBox, "Secondary RST pin", kModesLeftX, Mode(6), kModesLeftCx,
            kCheckCy},
        {IDC_MODE_P6_ANALOG, ControlKind::CheckBox, "P6 Analog mode*", kModesLeftX, Mode(7), kModesLeftCx, kCheckCy},
        {IDC_SET_MODES, ControlKind::PushButton, "Set Modes", kActionX, kRowSetModes, kActionCx, kButtonCy,
            WS_DISABLED},
        {IDC_RESTART, ControlKind::PushButton, "Restart", kCommandX, kButtonRow1, 50, kTwoLineButtonCy},
        {IDC_SWITCH_CONFIGURATION, ControlKind::PushButton, "Trellim\nConfiguration", Window(0), kButtonRow1, kWindowCx,
            kTwoLineButtonCy, WS_DISABLED},
        {IDC_CORE_GROUP, ControlKind::GroupBox, "IP Core Settings", 7, kCoreGroupY, 278, 160},
        {IDC_STATUS, ControlKind::StatusLine, "", 7, kStatusY, 278, kStatusLineCy},
        {IDC_IP_LABEL, ControlKind::Static, "IP", kWideLabelX, Label(kRowIp), kWideLabelCx, kLabelCy},
        {IDC_MAC, ControlKind::Edit, "", kWideFieldX, kRowMac, kWideFieldCx, kFieldCy, kReadOnlyEdit},
        {IDC_MACLOCK1_LABEL, ControlKind::Static, "MACLock1", kWideLabelX, Label(kRowMacLock1), kWideLabelCx, kLabelCy},
        {IDC_MACLOCK2_LABEL, ControlKind::Static, "MACLock2", kWideLabelX, Label(kRowMacLock2), kWideLabelCx, kLabelCy},
        {IDC_PING_RESTART_LABEL, ControlKind::Static, "Ping Restart (min)", kNarrowLabelX, Label(kRowPingRestart),
            kNarrowLabelCx, kLabelCy},
        {IDC_VLAN_TAG_LABEL, ControlKind::Static, "VLAN tag", kNarrowLabelX, Label(kRowVlanTag), kNarrowLabelCx,
            kLabelCy},
        {IDC_VERSION, ControlKind::Edit, "", kAccessFieldX, kAccessRow2, 30, kFieldCy, kReadOnlyEdit},
        {IDC_MODES_NOTE, ControlKind::Static, "* - Restart Nubrel after change", kModesLeftX, Label(kRowSetModes + 1),
            kModesLeftCx, kLabelCy},
        {IDC_STATIC, ControlKind::GroupBox, "Operating Modes", 7, kModesGroupY, 278, 110},
        {IDC_SWITCH_STATUS, ControlKind::PushButton, "Trellim\n    Status", Window(1), kButtonRow1, kWindowCx,
            kTwoLineButtonCy, WS_DISABLED},
        {IDC_MODE_SAVE_IO, ControlKind::CheckBox, "Save I/O states", kModesRightX, Mode(0), kModesRightCx, kCheckCy},
        {IDC_PING_RESTART_COUNT, ControlKind::Edit, "", kNarrowFieldX, kRowPingCount, kNarrowFieldCx, kFieldCy,
            kReadOnlyEdit},
        {IDC_SET_PING_COUNT, ControlKind::PushButton, "Set", kNarrowSetX, kRowPingCount, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_PING_COUNT_LABEL, ControlKind::Static, "Ping Restarts Count", kNarrowLabelX, Label(kRowPingCount),
            kNarrowLabelCx, kLabelCy},
        {IDC_MODE_PING_LED, ControlKind::CheckBox, "Ping LED (P3.3)", kModesRightX, Mode(1), kModesRightCx, kCheckCy},
        {IDC_MODE_IO_RESET, ControlKind::CheckBox, "I/O reset at Ping Restart", kModesRightX, Mode(2), kModesRightCx,
            kCheckCy},
        {IDC_RESTART_PULSE, ControlKind::Edit, "", kPulseFieldX, kRowPulse, kPulseFieldCx, kFieldCy, kReadOnlyEdit},
        {IDC_SET_RESTART_PULSE, ControlKind::PushButton, "Set", kNarrowSetX, kRowPulse, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_PULSE_WIDTH_LABEL, ControlKind::Static, kPulseWidthLabelSlow, kNarrowLabelX,
            Label(kRowPulseLabel), kNarrowColumnCx, kLabelCy},
        {IDC_MODE_EXTRA_FIRST + 0, ControlKind::CheckBox, "", kModesRightX, Mode(3), kModesRightCx, kCheckCy},
        {IDC_MODE_EXTRA_FIRST + 1, ControlKind::CheckBox, "", kModesRightX, Mode(4), kModesRightCx, kCheckCy},
        {IDC_MODE_EXTRA_FIRST + 2, ControlKind::CheckBox, "", kModesRightX, Mode(5), kModesRightCx, kCheckCy},
        {IDC_MODE_EXTRA_FIRST + 3, ControlKind::CheckBox, "", kModesRightX, Mode(6), kModesRightCx, kCheckCy},
        {IDC_MODE_EXTRA_FIRST + 4, ControlKind::CheckBox, "", kModesRightX, Mode(7), kModesRightCx, kCheckCy},
        {IDC_NETWORK_MASK, ControlKind::IpAddress, "", kWideFieldX, kRowNetworkMask, kWideFieldCx, kFieldCy,
            WS_DISABLED},
        {IDC_SET_NETWORK_MASK, ControlKind::PushButton, "Set", kWideSetX, kRowNetworkMask, kSetCx, kFieldCy,
            WS_DISABLED},
        {IDC_NETWORK_MASK_LABEL, ControlKind::Static, "Network\nMask", kWideLabelX, TwoLineLabel(kRowNetworkMask),
            kWideLabelCx, kTwoLineLabelCy},
        {IDC_GATEWAY, ControlKind::IpAddress, "", kWideFieldX, kRowGateway, kWideFieldCx, kFieldCy, WS_DISABLED},
        {IDC_SET_GATEWAY, ControlKind::PushButton, "Set", kWideSetX, kRowGateway, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_GATEWAY_LABEL, ControlKind::Static, "Gateway", kWideLabelX, Label(kRowGateway), kWideLabelCx, kLabelCy},
        {IDC_TFTP_SERVER, ControlKind::IpAddress, "", kWideFieldX, kRowTftpServer, kWideFieldCx, kFieldCy, WS_DISABLED},
        {IDC_SET_TFTP_SERVER, ControlKind::PushButton, "Set", kWideSetX, kRowTftpServer, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_TFTP_SERVER_LABEL, ControlKind::Static, "TFTP\nServer", kWideLabelX, TwoLineLabel(kRowTftpServer),
            kWideLabelCx, kTwoLineLabelCy},
        {IDC_MONITOR_IP, ControlKind::IpAddress, "", kWideFieldX, kRowMonitorIp, kWideFieldCx, kFieldCy, WS_DISABLED},
        {IDC_SET_MONITOR_IP, ControlKind::PushButton, "Set", kWideSetX, kRowMonitorIp, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_MONITOR_IP_LABEL, ControlKind::Static, "Monitor\nIP", kWideLabelX, TwoLineLabel(kRowMonitorIp),
            kWideLabelCx, kTwoLineLabelCy},
        {IDC_SNMP_TRAPS, ControlKind::PushButton, "SNMP\nTraps", Window(2), kButtonRow2, kWindowCx, kTwoLineButtonCy,
            WS_DISABLED},
        {IDC_FIRMWARE_UPDATE, ControlKind::PushButton, "Firmware Update", kCommandX, kButtonRow2, 104, kTwoLineButtonCy,
            WS_DISABLED},
        {IDC_CHANGE_RO_PASS, ControlKind::PushButton, "Change R/O Pass", kActionX, kRowChangeRo, kActionCx, kButtonCy,
            WS_DISABLED},
        {IDC_MAC_LABEL, ControlKind::Static, "MAC address", kWideLabelX, Label(kRowMac), kWideLabelCx, kLabelCy},
        {IDC_MODULE_ADDRESS, ControlKind::IpAddress, "", kAccessFieldX, kAccessRow1, 90, kFieldCy},
        {IDC_MODULE_ADDRESS_LABEL, ControlKind::Static, "IP Address", kAccessLabelX, Label(kAccessRow1), kAccessLabelCx,
            kLabelCy},
        {IDC_IO_PORTS, ControlKind::PushButton, "I/O ports", Window(2), kButtonRow1, kWindowCx, kTwoLineButtonCy},
        {IDC_TARGET_RESTART, ControlKind::PushButton, "Target\nrestart", kCommandX + 53, kButtonRow1, 51,
            kTwoLineButtonCy},
        {IDC_RW_COMMUNITY, ControlKind::Edit, "", kPassFieldX, kAccessRow1, kPassFieldCx, kFieldCy, ES_AUTOHSCROLL,
            kCommunityLength},
        {IDC_RW_COMMUNITY_LABEL, ControlKind::Static, "SNMP R/W Pass", kPassLabelX, Label(kAccessRow1), kPassLabelCx,
            kLabelCy},
        {IDC_RO_COMMUNITY, ControlKind::Edit, "", kPassFieldX, kAccessRow2, kPassFieldCx, kFieldCy, ES_AUTOHSCROLL,
            kCommunityLength},
        {IDC_RO_COMMUNITY_LABEL, ControlKind::Static, "SNMP R/O Pass", kPassLabelX, Label(kAccessRow2), kPassLabelCx,
            kLabelCy},
        {IDC_STATIC, ControlKind::Static, "Version", kAccessLabelX, Label(kAccessRow2), kAccessLabelCx, kLabelCy},
        {IDC_STATIC, ControlKind::GroupBox, "IP module access parameters", 7, kAccessGroupY, 278, 45},
        {IDC_MAC_SEARCH, ControlKind::PushButton, "MAC Search", Window(0), kButtonRow2, kWindowCx, kTwoLineButtonCy,
            WS_DISABLED},
        {IDC_RS232, ControlKind::PushButton, "RS-232", Window(1), kButtonRow2, kWindowCx, kTwoLineButtonCy,
            WS_DISABLED},
        {IDC_ACCESS_IP, ControlKind::IpAddress, "", kWideFieldX, kRowAccessIp, kWideFieldCx, kFieldCy, WS_DISABLED},
        {IDC_SET_ACCESS_IP, ControlKind::PushButton, "Set", kWideSetX, kRowAccessIp, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_ACCESS_IP_LABEL, ControlKind::Static, "Access IP", kWideLabelX, Label(kRowAccessIp), kWideLabelCx,
            kLabelCy},
        {IDC_ACCESS_MASK, ControlKind::IpAddress, "", kWideFieldX, kRowAccessMask, kWideFieldCx, kFieldCy, WS_DISABLED},
        {IDC_SET_ACCESS_MASK, ControlKind::PushButton, "Set", kWideSetX, kRowAccessMask, kSetCx, kFieldCy, WS_DISABLED},
        {IDC_ACCESS_MASK_LABEL, ControlKind::Static, "Access Mask", kWideLabelX, Label(kRowAccessMask), kWideLabelCx,
            kLabelCy},
    },
    true,
    };
}

}  // namespace

// Built on first use, so that tables of other files may read it while they
// are initialised.
const DialogTemplate& MainDlgTemplate()
{
    static const DialogTemplate mainDlg = MakeMainDlg();
    return mainDlg;
}

const char* MainDlgCaption(int id)
{
    for (const ControlSpec& control : MainDlgTemplate().controls)
        if (control.id == id)
            return control.caption;
    return nullptr;
}
