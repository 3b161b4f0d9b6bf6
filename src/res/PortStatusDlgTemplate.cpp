#include "res/PortStatusDlgTemplate.h"

#include "platform/Dialog.h"
#include "res/PortStatusDlgIds.h"

// Layout of the port status window: a table of indicators, one row per port
// and one column per status bit, with the link quality last; the "Refresh"
// button and the status line below it.

namespace {

constexpr int kHeadY = 12;
constexpr int Row(int port) { return 30 + 12 * port; }
constexpr int kColumnCx = 28;
constexpr int Column(int column) { return 28 + kColumnCx * column; }
constexpr int kBoxOffset = 9;  // centres a check box in its column

constexpr const char* kHeadings[kStatusColumns]
    = {"Link", "Speed\n100Mb", "Full\nDuplex", "RX", "TX", "Loop", "Link\nQuality"};
constexpr const char* kPortLabels[8] = {"P0", "P1", "P2", "P3", "P4", "P5", "P6", "P7"};

DialogTemplate BuildPortStatusDlg()
{
    using K = ControlKind;
    DialogTemplate tpl {IDD_PORT_STATUS, "Trellim Port Status", 235, 153 + kStatusLineCy + 2, {}, true};
    auto& c = tpl.controls;
    c.push_back({IDC_STATIC, K::GroupBox, "Port Status", 7, 3, 221, 130});
    for (int column = 0; column < kStatusColumns; ++column)
        c.push_back({IDC_STATIC, K::Static, kHeadings[column], Column(column), kHeadY, kColumnCx, 16});
    for (int p = 0; p < 8; ++p) {
        c.push_back({IDC_STATIC, K::Static, kPortLabels[p], 13, Row(p) + 1, 14, 9});
        for (int column = 0; column < kColQuality; ++column)
            c.push_back(
                {StatusControl(p, column), K::CheckBox, "", Column(column) + kBoxOffset, Row(p), 10, 10, WS_DISABLED});
        c.push_back(
            {StatusControl(p, kColQuality), K::Static, "0", Column(kColQuality) + kBoxOffset, Row(p) + 1, 16, 9});
    }
    c.push_back({IDC_PS_REFRESH, K::PushButton, "Refresh", 7, 137, 50, 14});
    c.push_back({IDC_STATUS, K::StatusLine, "", 7, 153, 221, kStatusLineCy});
    return tpl;
}

}  // namespace

const DialogTemplate& PortStatusDlgTemplate()
{
    static const DialogTemplate tpl = BuildPortStatusDlg();
    return tpl;
}
