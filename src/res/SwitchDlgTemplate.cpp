#include "res/SwitchDlgTemplate.h"

#include <algorithm>
#include <vector>

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
constexpr int kMoreLineCy = 8;  // each further line of a wrapped caption
constexpr int kButtonCy = 14;
constexpr int kTwoLineButtonCy = 20;
constexpr int kWidth = 568;

// Global group, left column.
constexpr int kGlobalX = 7;
constexpr int kGlobalCx = 180;
constexpr int kGlobalCheckX = 13;
constexpr int kGlobalCheckCx = 170;
constexpr int kGlobalLabelCx = 100;
constexpr int kGlobalFieldX = 117;

// Right column: the port page (speed group, then the priority addresses, on
// the left; the VLAN group on the right), the matrix and the buttons below.
constexpr int kRightX = 193;
constexpr int kRightCx = kWidth - 7 - kRightX;
constexpr int kSpeedCheckX = 198;
constexpr int kSpeedCheckCx = 112;
constexpr int kSpeedGroupCx = 120;
constexpr int kVlanGroupX = kRightX + kSpeedGroupCx + 4;
constexpr int kVlanGroupCx = kWidth - 7 - kVlanGroupX;
constexpr int kVlanCheckX = kVlanGroupX + 5;
constexpr int kVlanCheckCx = kVlanGroupCx - 10;
constexpr int kPageTop = 18;
constexpr int kFirstLine = 29;

// Matrix: rows 12 units apart, a box every 14 units.
constexpr int MatrixColumn(int port) { return 227 + 14 * port; }
constexpr int kGroupIdX = 339;
constexpr int kGroupIdCx = 26;
constexpr int kButtonsX = 373;
constexpr int kButtonsCx = 77;

constexpr const char* kGroupLabels[8] = {"VLANA", "VLANB", "VLANC", "VLAND", "VLANE", "VLANF", "VLANG", "VLANH"};
constexpr const char* kPortLabels[8] = {"P0", "P1", "P2", "P3", "P4", "P5", "P6", "P7"};

// A check box or radio button and the lines its caption wraps to.
struct CheckRow {
    int id;
    const char* caption;
    int lines = 1;
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
    {IDC_SW_KEEP_NON_MEMBER, "Do not drop if the ingress port is not included in the VLAN member set", 2},
    {IDC_SW_KEEP_UNTAGGED, "Do not drop untagged frame"},
    {IDC_SW_DIFFSERV_HIGH, "Default DiffServ point is High Priority", 2},
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
    {IDC_SW_BACKPRESSURE, "Enable Half Duplex backpressure", 2},
    {IDC_SW_LEARNING, "Enable Learning of MAC addresses", 2},
    {IDC_SW_LOOPBACK, "Local loopback"},
    {IDC_SW_PORT_ENABLE, "Enable Port (Rx/Tx)"},
};

// Radio buttons first (one group), then the check boxes.
const CheckRow kVlanLines[] = {
    {IDC_SW_TAG_NO_CHANGE, "No change in packets"},
    {IDC_SW_TAG_INSERT, "Insert source port's 802.1q tag to outgoing frame if source is untagged", 2},
    {IDC_SW_TAG_REMOVE, "Remove tag from outgoing tagged frames"},
    {IDC_SW_TAG_REPLACE, "same as mode 2 + replacing tagged source with 802.1q tag", 2},
    {IDC_SW_NULL_VID, "Replace NULL VID with port VID (12 bit)"},
    {IDC_SW_TAG_DISCARD,
        "If the frames from source port are tagged with tag different then source port's tag - discard", 3},
    {IDC_SW_NO_8021P, "Disable 802.1p priority for ingress packets"},
    {IDC_SW_NO_DIFFSERV, "Disable Diffserv priority classification for ingress", 2},
    {IDC_SW_NO_PORT_PRIORITY, "Disalble Port Priority function"},
};
constexpr int kRadioLines = 4;

// Places a column of check rows from `y` down, `step` units from one row to
// the next plus kMoreLineCy for each further line; returns the bottom.
template <size_t N>
int PlaceChecks(std::vector<ControlSpec>& c, const CheckRow (&rows)[N], int x, int cx, int y, int step,
    ControlKind (*kind)(int index), unsigned (*style)(const CheckRow& row, int index))
{
    int bottom = y;
    for (int index = 0; index < int(N); ++index) {
        const CheckRow& row = rows[index];
        const int cy = kCheckCy + kMoreLineCy * (row.lines - 1);
        c.push_back({row.id, kind(index), row.caption, x, y, cx, cy, style(row, index)});
        bottom = y + cy;
        y += step + kMoreLineCy * (row.lines - 1);
    }
    return bottom;
}

ControlKind CheckKind(int) { return ControlKind::CheckBox; }
ControlKind VlanKind(int index) { return index < kRadioLines ? ControlKind::RadioButton : ControlKind::CheckBox; }
unsigned NoStyle(const CheckRow&, int) { return WS_NONE; }
unsigned GlobalStyle(const CheckRow& row, int) { return row.id == IDC_SW_LOOKUP_ACCESS ? WS_DISABLED : WS_NONE; }
unsigned VlanStyle(const CheckRow&, int index) { return index == 0 ? WS_GROUP : WS_NONE; }

// The global group: its check boxes, then a label and field a row; returns
// the group's bottom.
int PlaceGlobalGroup(std::vector<ControlSpec>& c)
{
    using K = ControlKind;
    const size_t groupAt = c.size();
    c.push_back({IDC_STATIC, K::GroupBox, "Global Trellim Settings", kGlobalX, 3, kGlobalCx, 0});
    const int checksBottom = PlaceChecks(c, kGlobalChecks, kGlobalCheckX, kGlobalCheckCx, 14, 10, CheckKind, GlobalStyle);
    struct FieldRow {
        const char* label;
        int id;
        ControlKind kind;
        int cx;
        unsigned style;
        int limit;
    };
    const FieldRow fields[] = {
        {"LED mode", IDC_SW_LED_MODE, K::ComboDropDown, 60, WS_VSCROLL, 96},
        {"802.1p priority threshold", IDC_SW_PRIORITY_THRESHOLD, K::Edit, 30, ES_AUTOHSCROLL, 0},
        {"Priority ques ratio", IDC_SW_QUEUE_RATIO, K::ComboDropDown, 60, WS_VSCROLL, 48},
        {"DiffServ[B] point", IDC_SW_DIFFSERV_B, K::Edit, 30, ES_AUTOHSCROLL, 0},
        {"DiffServ [A] point", IDC_SW_DIFFSERV_A, K::Edit, 30, ES_AUTOHSCROLL, 0},
    };
    int y = checksBottom + 4;
    for (const FieldRow& field : fields) {
        c.push_back({IDC_STATIC, K::Static, field.label, kGlobalCheckX, y + 2, kGlobalLabelCx, kLabelCy});
        c.push_back({field.id, field.kind, "", kGlobalFieldX, y, field.cx, kFieldCy, field.style, field.limit});
        y += 14;
    }
    c[groupAt].cy = y + 1 - 3;
    return y + 1;
}

// The priority addresses group from `y`; returns its bottom.
int PlacePriorityGroup(std::vector<ControlSpec>& c, int y)
{
    using K = ControlKind;
    c.push_back({IDC_STATIC, K::GroupBox, "Priority IP addresses and masks", kRightX, y, kSpeedGroupCx, 72});
    c.push_back({IDC_STATIC, K::Static, "IP[A]:\n\nMASK[A]:", 198, y + 12, 37, 26});
    c.push_back({IDC_SW_IP_A, K::IpAddress, "", 237, y + 11, 70, kFieldCy});
    c.push_back({IDC_SW_MASK_A, K::IpAddress, "", 237, y + 25, 70, kFieldCy});
    c.push_back({IDC_STATIC, K::Static, "IP[B]:\n\nMASK[B]:", 198, y + 42, 37, 26});
    c.push_back({IDC_SW_IP_B, K::IpAddress, "", 237, y + 41, 70, kFieldCy});
    c.push_back({IDC_SW_MASK_B, K::IpAddress, "", 237, y + 55, 70, kFieldCy});
    return y + 72;
}

// The VLAN membership matrix and group IDs from `y`; returns its bottom.
int PlaceMatrix(std::vector<ControlSpec>& c, int y)
{
    using K = ControlKind;
    c.push_back({IDC_STATIC, K::GroupBox, "Port Membership in VLAN Groups", kRightX, y, 176, 124});
    const int headY = y + 10;
    c.push_back({IDC_STATIC, K::Static, "Group", 198, headY, 26, kLabelCy});
    for (int p = 0; p < 8; ++p)
        c.push_back({IDC_STATIC, K::Static, kPortLabels[p], MatrixColumn(p), headY, 12, kLabelCy});
    c.push_back({IDC_STATIC, K::Static, "ID", kGroupIdX, headY, kGroupIdCx, kLabelCy});
    for (int g = 0; g < 8; ++g) {
        const int rowY = y + 20 + 12 * g;
        c.push_back({IDC_STATIC, K::Static, kGroupLabels[g], 198, rowY + 1, 26, kLabelCy});
        for (int p = 0; p < 8; ++p)
            c.push_back({MemberControl(g, p), K::CheckBox, "", MatrixColumn(p), rowY, 10, kCheckCy});
        c.push_back({kGroupIdControls[g], K::Edit, "", kGroupIdX, rowY - 1, kGroupIdCx, kFieldCy, ES_AUTOHSCROLL});
    }
    return y + 124;
}

// Transfer and file buttons beside the matrix, from `y`.
void PlaceTransferButtons(std::vector<ControlSpec>& c, int y)
{
    using K = ControlKind;
    c.push_back({IDC_SW_READ, K::PushButton, "Read Configuration", kButtonsX, y, kButtonsCx, kButtonCy});
    c.push_back({IDC_SW_SAVE, K::PushButton, "Save Configuration", kButtonsX, y + 18, kButtonsCx, kButtonCy});
    c.push_back({IDC_SW_LOAD_FILE, K::PushButton, "Load\nfrom file", kButtonsX, y + 40, 37, kTwoLineButtonCy});
    c.push_back({IDC_SW_SAVE_FILE, K::PushButton, "Save \nto file", kButtonsX + 40, y + 40, 37, kTwoLineButtonCy});
    c.push_back({IDC_SW_PORTS_STATUS, K::PushButton, "Ports'\nStatus", kButtonsX, y + 66, kButtonsCx, kTwoLineButtonCy});
}

DialogTemplate BuildSwitchDlg()
{
    using K = ControlKind;
    DialogTemplate tpl {IDD_SWITCH, "Trellim Settings", kWidth, 0, {}, true};
    auto& c = tpl.controls;

    const int globalBottom = PlaceGlobalGroup(c);

    // Port page.
    c.push_back({IDC_SW_PORT_TABS, K::TabBar, "", kRightX, 3, kRightCx, 14});
    const size_t speedGroup = c.size();
    c.push_back({IDC_STATIC, K::GroupBox, "Speed/Duplex, Mode", kRightX, kPageTop, kSpeedGroupCx, 0});
    const int speedBottom
        = PlaceChecks(c, kSpeedChecks, kSpeedCheckX, kSpeedCheckCx, kFirstLine, 11, CheckKind, NoStyle) + 6;
    c[speedGroup].cy = speedBottom - kPageTop;
    const size_t vlanGroup = c.size();
    c.push_back({IDC_STATIC, K::GroupBox, "VLAN processing and priority", kVlanGroupX, kPageTop, kVlanGroupCx, 0});
    const int vlanRow = PlaceChecks(c, kVlanLines, kVlanCheckX, kVlanCheckCx, kFirstLine, 11, VlanKind, VlanStyle) + 6;
    c.push_back({IDC_SW_VLAN_INDEX_LABEL, K::Static, "VLAN\nindex", kVlanCheckX, vlanRow - 2, 26, kTwoLineCy});
    c.push_back({IDC_SW_VLAN_INDEX, K::ComboDropList, "", kVlanCheckX + 28, vlanRow, 28, kFieldCy, WS_VSCROLL, 128});
    c.push_back({IDC_SW_INSERT_TAG_LABEL, K::Static, "Tag for\ninsertation", kVlanCheckX + 60, vlanRow - 2, 40, kTwoLineCy});
    c.push_back({IDC_SW_INSERT_TAG, K::Edit, "", kVlanCheckX + 102, vlanRow, 28, kFieldCy, WS_DISABLED});
    const int vlanBottom = vlanRow + kTwoLineCy + 4;
    c[vlanGroup].cy = vlanBottom - kPageTop;

    const int priorityBottom = PlacePriorityGroup(c, speedBottom + 2);
    const int matrixY = std::max(priorityBottom, vlanBottom) + 2;
    const int matrixBottom = PlaceMatrix(c, matrixY);
    PlaceTransferButtons(c, matrixY + 6);

    const int buttonsY = std::max(globalBottom, matrixBottom) + 3;
    c.push_back({IDC_SW_DEFAULTS, K::PushButton, "Force All Defaults", kGlobalX, buttonsY, 88, kButtonCy});
    c.push_back({IDC_SW_RESTART, K::PushButton, "Restart Trellim", kGlobalX + 92, buttonsY, 88, kButtonCy});
    const int statusY = buttonsY + kButtonCy + 2;
    c.push_back({IDC_STATUS, K::StatusLine, "", kGlobalX, statusY, kWidth - 2 * kGlobalX, kStatusLineCy});
    tpl.cy = statusY + kStatusLineCy + 3;
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
