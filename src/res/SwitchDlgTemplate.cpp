#include "res/SwitchDlgTemplate.h"

#include "platform/Dialog.h"
#include "res/SwitchDlgIds.h"

// Layout of the switch settings window, in dialog units. The global settings
// fill the left column; on the right the port tabs head the port page (two
// group boxes), then the priority addresses, the VLAN membership matrix and
// the transfer buttons. The status line runs along the bottom.

namespace {

constexpr int kFieldCy = 12;
constexpr int kLabelCy = 9;
constexpr int kTwoLineCy = 16;
constexpr int kCheckCy = 10;
constexpr int kButtonCy = 14;
constexpr int kTwoLineButtonCy = 20;

// Global group, left column.
constexpr int kGlobalX = 7;
constexpr int kGlobalCx = 180;
constexpr int kGlobalCheckX = 13;
constexpr int kGlobalCheckCx = 170;
constexpr int GlobalCheck(int line) { return 14 + 10 * line; }
constexpr int GlobalField(int line) { return 208 + 14 * line; }
constexpr int kGlobalLabelCx = 100;
constexpr int kGlobalFieldX = 117;

// Right column.
constexpr int kRightX = 193;
constexpr int kRightCx = 257;
constexpr int kSpeedCheckX = 198;
constexpr int kSpeedCheckCx = 104;
constexpr int SpeedCheck(int line) { return 29 + 11 * line; }
constexpr int kVlanGroupX = 309;
constexpr int kVlanCheckX = 314;
constexpr int kVlanCheckCx = 132;
constexpr int VlanLine(int line) { return 29 + 11 * line; }
constexpr int kVlanFieldRow = 130;

// Matrix: rows 12 units apart, a box every 14 units.
constexpr int kMatrixY = 172;
constexpr int kMatrixHeadY = 182;
constexpr int MatrixRow(int group) { return 192 + 12 * group; }
constexpr int MatrixColumn(int port) { return 227 + 14 * port; }
constexpr int kGroupIdX = 339;
constexpr int kGroupIdCx = 26;

constexpr int kButtonsX = 373;
constexpr int kButtonsCx = 77;
constexpr int kStatusY = 302;

constexpr const char* kGroupLabels[8] = {"VLANA", "VLANB", "VLANC", "VLAND", "VLANE", "VLANF", "VLANG", "VLANH"};
constexpr const char* kPortLabels[8] = {"P0", "P1", "P2", "P3", "P4", "P5", "P6", "P7"};

struct CheckRow {
    int id;
    const char* caption;
};

const CheckRow kGlobalChecks[] = {
    {IDC_SW_FILTER_BAD, "Filter bad packets"},
    {IDC_SW_NO_TX_FLOW, "No Transmit flow control"},
    {IDC_SW_RX_FLOW, "Receive flow control"},
    {IDC_SW_BROADCAST_DROP, "Broadcast input drop"},
    {IDC_SW_AGING, "Aging enabled"},
    {IDC_SW_FAST_AGING, "Fast aging (800us)"},
    {IDC_SW_NO_VLAN_MODE, "Disable VLAN mode"},
    {IDC_SW_NO_8021Q, "Disalbe 802.1q VLAN"},
    {IDC_SW_KEEP_NON_MEMBER, "Do not drop if the ingress port is not included in the VLAN member set"},
    {IDC_SW_KEEP_UNTAGGED, "Do not drop untagged frame"},
    {IDC_SW_DIFFSERV_HIGH, "Default DiffServ point is High Priority"},
    {IDC_SW_TRUNKING, "Port 0/1 are trunking port"},
    {IDC_SW_IP_A_HIGH, "IP/MASK[A] is High Priority"},
    {IDC_SW_IP_B_HIGH, "IP/MASK[B] is High Priority"},
    {IDC_SW_DIFFSERV_B_HIGH, "DiffServ [B] is high priority"},
    {IDC_SW_DIFFSERV_A_HIGH, "DiffServ [A] is high priority"},
    {IDC_SW_FRAME_GAP, "90ppm TX Frame gap"},
    {IDC_SW_NO_LOOP_DETECT, "Disable Loop detection"},
    {IDC_SW_LOOKUP_ACCESS, "Lookup table accessability"},
};

const CheckRow kSpeedChecks[] = {
    {IDC_SW_100MB, "100Mb/s capable"},
    {IDC_SW_FULL_DUPLEX, "Full Duplex capable"},
    {IDC_SW_BACKPRESSURE, "Enable Half Duplex backpressure"},
    {IDC_SW_LEARNING, "Enable Learning of MAC addresses"},
    {IDC_SW_LOOPBACK, "Local loopback"},
    {IDC_SW_PORT_ENABLE, "Enable Port (Rx/Tx)"},
};

// Radio buttons first (one group), then the check boxes.
const CheckRow kVlanLines[] = {
    {IDC_SW_TAG_NO_CHANGE, "No change in packets"},
    {IDC_SW_TAG_INSERT, "Insert source port's 802.1q tag to outgoing frame if source is untagged"},
    {IDC_SW_TAG_REMOVE, "Remove tag from outgoing tagged frames"},
    {IDC_SW_TAG_REPLACE, "same as mode 2 + replacing tagged source with 802.1q tag"},
    {IDC_SW_NULL_VID, "Replace NULL VID with port VID (12 bit)"},
    {IDC_SW_TAG_DISCARD,
        "If the frames from source port are tagged with tag different then source port's tag - discard"},
    {IDC_SW_NO_8021P, "Disable 802.1p priority for ingress packets"},
    {IDC_SW_NO_DIFFSERV, "Disable Diffserv priority classification for ingress"},
    {IDC_SW_NO_PORT_PRIORITY, "Disalble Port Priority function"},
};
constexpr int kRadioLines = 4;

DialogTemplate BuildSwitchDlg()
{
    using K = ControlKind;
    DialogTemplate tpl {IDD_SWITCH, "Trellim Settings", 457, 317, {}, true};
    auto& c = tpl.controls;

    // Global settings.
    c.push_back({IDC_STATIC, K::GroupBox, "Global Trellim Settings", kGlobalX, 3, kGlobalCx, 280});
    int line = 0;
    for (const CheckRow& row : kGlobalChecks) {
        const unsigned style = row.id == IDC_SW_LOOKUP_ACCESS ? WS_DISABLED : WS_NONE;
        c.push_back(
            {row.id, K::CheckBox, row.caption, kGlobalCheckX, GlobalCheck(line++), kGlobalCheckCx, kCheckCy, style});
    }
    c.push_back({IDC_STATIC, K::Static, "LED mode", kGlobalCheckX, GlobalField(0) + 2, kGlobalLabelCx, kLabelCy});
    c.push_back({IDC_SW_LED_MODE, K::ComboDropDown, "", kGlobalFieldX, GlobalField(0), 60, kFieldCy, WS_VSCROLL, 96});
    c.push_back({IDC_STATIC, K::Static, "802.1p priority threshold", kGlobalCheckX, GlobalField(1) + 2, kGlobalLabelCx,
        kLabelCy});
    c.push_back({IDC_SW_PRIORITY_THRESHOLD, K::Edit, "", kGlobalFieldX, GlobalField(1), 30, kFieldCy, ES_AUTOHSCROLL});
    c.push_back(
        {IDC_STATIC, K::Static, "Priority ques ratio", kGlobalCheckX, GlobalField(2) + 2, kGlobalLabelCx, kLabelCy});
    c.push_back(
        {IDC_SW_QUEUE_RATIO, K::ComboDropDown, "", kGlobalFieldX, GlobalField(2), 60, kFieldCy, WS_VSCROLL, 48});
    c.push_back(
        {IDC_STATIC, K::Static, "DiffServ[B] point", kGlobalCheckX, GlobalField(3) + 2, kGlobalLabelCx, kLabelCy});
    c.push_back({IDC_SW_DIFFSERV_B, K::Edit, "", kGlobalFieldX, GlobalField(3), 30, kFieldCy, ES_AUTOHSCROLL});
    c.push_back(
        {IDC_STATIC, K::Static, "DiffServ [A] point", kGlobalCheckX, GlobalField(4) + 2, kGlobalLabelCx, kLabelCy});
    c.push_back({IDC_SW_DIFFSERV_A, K::Edit, "", kGlobalFieldX, GlobalField(4), 30, kFieldCy, ES_AUTOHSCROLL});

    // Port page.
    c.push_back({IDC_SW_PORT_TABS, K::TabBar, "", kRightX, 3, kRightCx, 14});
    c.push_back({IDC_STATIC, K::GroupBox, "Speed/Duplex, Mode", kRightX, 18, 112, 78});
    line = 0;
    for (const CheckRow& row : kSpeedChecks)
        c.push_back({row.id, K::CheckBox, row.caption, kSpeedCheckX, SpeedCheck(line++), kSpeedCheckCx, kCheckCy});
    c.push_back({IDC_STATIC, K::GroupBox, "VLAN processing and priority", kVlanGroupX, 18, 141, 134});
    line = 0;
    for (const CheckRow& row : kVlanLines) {
        const bool radio = line < kRadioLines;
        c.push_back({row.id, radio ? K::RadioButton : K::CheckBox, row.caption, kVlanCheckX, VlanLine(line),
            kVlanCheckCx, kCheckCy, line == 0 ? WS_GROUP : WS_NONE});
        ++line;
    }
    c.push_back({IDC_SW_VLAN_INDEX_LABEL, K::Static, "VLAN\nindex", kVlanCheckX, kVlanFieldRow - 2, 26, kTwoLineCy});
    c.push_back({IDC_SW_VLAN_INDEX, K::ComboDropList, "", 342, kVlanFieldRow, 28, kFieldCy, WS_VSCROLL, 128});
    c.push_back({IDC_SW_INSERT_TAG_LABEL, K::Static, "Tag for\ninsertation", 374, kVlanFieldRow - 2, 40, kTwoLineCy});
    c.push_back({IDC_SW_INSERT_TAG, K::Edit, "", 416, kVlanFieldRow, 28, kFieldCy, WS_DISABLED});

    // Priority addresses.
    c.push_back({IDC_STATIC, K::GroupBox, "Priority IP addresses and masks", kRightX, 98, 112, 72});
    c.push_back({IDC_STATIC, K::Static, "IP[A]:\n\nMASK[A]:", 198, 110, 35, 26});
    c.push_back({IDC_SW_IP_A, K::IpAddress, "", 233, 109, 70, kFieldCy});
    c.push_back({IDC_SW_MASK_A, K::IpAddress, "", 233, 123, 70, kFieldCy});
    c.push_back({IDC_STATIC, K::Static, "IP[B]:\n\nMASK[B]:", 198, 140, 35, 26});
    c.push_back({IDC_SW_IP_B, K::IpAddress, "", 233, 139, 70, kFieldCy});
    c.push_back({IDC_SW_MASK_B, K::IpAddress, "", 233, 153, 70, kFieldCy});

    // VLAN membership matrix and group IDs.
    c.push_back({IDC_STATIC, K::GroupBox, "Port Membership in VLAN Groups", kRightX, kMatrixY, 176, 124});
    c.push_back({IDC_STATIC, K::Static, "Group", 198, kMatrixHeadY, 26, kLabelCy});
    for (int p = 0; p < 8; ++p)
        c.push_back({IDC_STATIC, K::Static, kPortLabels[p], MatrixColumn(p), kMatrixHeadY, 12, kLabelCy});
    c.push_back({IDC_STATIC, K::Static, "ID", kGroupIdX, kMatrixHeadY, kGroupIdCx, kLabelCy});
    for (int g = 0; g < 8; ++g) {
        c.push_back({IDC_STATIC, K::Static, kGroupLabels[g], 198, MatrixRow(g) + 1, 26, kLabelCy});
        for (int p = 0; p < 8; ++p)
            c.push_back({MemberControl(g, p), K::CheckBox, "", MatrixColumn(p), MatrixRow(g), 10, kCheckCy});
        c.push_back(
            {kGroupIdControls[g], K::Edit, "", kGroupIdX, MatrixRow(g) - 1, kGroupIdCx, kFieldCy, ES_AUTOHSCROLL});
    }

    // Transfer and file buttons.
    c.push_back({IDC_SW_READ, K::PushButton, "Read Configuration", kButtonsX, 156, kButtonsCx, kButtonCy});
    c.push_back({IDC_SW_SAVE, K::PushButton, "Save Configuration", kButtonsX, 174, kButtonsCx, kButtonCy});
    c.push_back({IDC_SW_LOAD_FILE, K::PushButton, "Load\nfrom file", kButtonsX, 196, 37, kTwoLineButtonCy});
    c.push_back({IDC_SW_SAVE_FILE, K::PushButton, "Save \nto file", kButtonsX + 40, 196, 37, kTwoLineButtonCy});
    c.push_back({IDC_SW_PORTS_STATUS, K::PushButton, "Ports'\nStatus", kButtonsX, 222, kButtonsCx, kTwoLineButtonCy});
    c.push_back({IDC_SW_DEFAULTS, K::PushButton, "Force All Defaults", kGlobalX, 286, 88, kButtonCy});
    c.push_back({IDC_SW_RESTART, K::PushButton, "Restart Trellim", kGlobalX + 92, 286, 88, kButtonCy});
    c.push_back({IDC_STATUS, K::StatusLine, "", kGlobalX, kStatusY, 443, 12});
    return tpl;
}

}  // namespace

const DialogTemplate& SwitchDlgTemplate()
{
    static const DialogTemplate tpl = BuildSwitchDlg();
    return tpl;
}

const char* SwitchDlgCaption(int id)
{
    for (const ControlSpec& control : SwitchDlgTemplate().controls)
        if (control.id == id)
            return control.caption;
    return nullptr;
}
