#include "res/IoPortsDlgTemplate.h"

#include <string>

#include "platform/Dialog.h"
#include "res/IoPortsDlgIds.h"

// Layout of the I/O ports window, in dialog units. One group box holds a grid
// of eight columns headed "8" .. "1" from left to right, so that bit k of
// every port and analog channel k+1 sit in the column headed k+1. The rows
// are P3, P5 (each with its write button on the right) and P6, then the
// analog edits with their unit; the commands and the status line follow
// below the group.

namespace {

constexpr int kColumns = 8;
constexpr int kGridX = 30;  // left edge of the column headed "8"
constexpr int kColumnCx = 36;
constexpr int kGridRight = kGridX + kColumns * kColumnCx;
constexpr int kCheckCx = 10;
constexpr int kCheckCy = 10;
constexpr int kButtonCx = 50;
constexpr int kButtonCy = 14;
constexpr int kButtonX = kGridRight + 6;
constexpr int kRowLabelX = 14;
constexpr int kRowLabelCx = 14;
constexpr int kLabelCy = 9;
constexpr int kEditCy = 12;
constexpr int kEditCx = kColumnCx - 4;

constexpr int kGroupX = 7;
constexpr int kGroupY = 4;
constexpr int kGroupCx = kButtonX + kButtonCx + 6 - kGroupX;
constexpr int kHeadingY = 16;
constexpr int kRowP3 = 28;
constexpr int kRowP5 = 46;
constexpr int kRowP6 = 64;
constexpr int kAnalogY = 80;
constexpr int kChannelLabelY = 95;
constexpr int kGroupCy = kChannelLabelY + kLabelCy + 6 - kGroupY;
constexpr int kCommandY = kGroupY + kGroupCy + 6;
constexpr int kStatusY = kCommandY + kButtonCy + 6;
constexpr int kWindowCx = kGroupX + kGroupCx + 7;
constexpr int kWindowCy = kStatusY + kStatusLineCy + 6;

// Left edge of the column that holds bit k (column headed k+1).
constexpr int ColumnX(int bit) { return kGridX + (kColumns - 1 - bit) * kColumnCx; }

// Captions that the controls point at must outlive the template.
const char* const kHeadings[kColumns] = {"1", "2", "3", "4", "5", "6", "7", "8"};

void AddPortRow(std::vector<ControlSpec>& controls, const char* name, int row, int firstBox, unsigned enabledBits)
{
    controls.push_back({IDC_STATIC, ControlKind::Static, name, kRowLabelX, row + 1, kRowLabelCx, kLabelCy});
    for (int bit = kColumns - 1; bit >= 0; --bit) {
        const unsigned boxStyle = (enabledBits >> bit) & 1u ? WS_NONE : WS_DISABLED;
        controls.push_back({firstBox + (kColumns - 1 - bit), ControlKind::CheckBox, "",
            ColumnX(bit) + (kColumnCx - kCheckCx) / 2, row, kCheckCx, kCheckCy, boxStyle});
    }
}

DialogTemplate Build()
{
    std::vector<ControlSpec> c;
    c.push_back({IDC_STATIC, ControlKind::GroupBox, "Analog/Digital I/O Ports", kGroupX, kGroupY, kGroupCx, kGroupCy});
    for (int bit = kColumns - 1; bit >= 0; --bit) {
        c.push_back({IDC_STATIC, ControlKind::Static, kHeadings[bit], ColumnX(bit) + (kColumnCx - kCheckCx) / 2 + 2,
            kHeadingY, kCheckCx, kLabelCy});
    }
    // The template's enabled boxes: P3 bits 0-3, P5 bits 1, 3, 5, 7.
    AddPortRow(c, "P3", kRowP3, IDC_P3_BIT7, 0x0Fu);
    c.push_back({IDC_CHANGE_P3, ControlKind::PushButton, "Change P3", kButtonX, kRowP3 - 2, kButtonCx, kButtonCy});
    AddPortRow(c, "P5", kRowP5, IDC_P5_BIT7, 0xAAu);
    c.push_back({IDC_CHANGE_P5, ControlKind::PushButton, "Change P5", kButtonX, kRowP5 - 2, kButtonCx, kButtonCy});
    AddPortRow(c, "P6", kRowP6, IDC_P6_BIT7, 0x00u);
    for (int channel = kAnalogChannels - 1; channel >= 0; --channel) {
        c.push_back({kAnalogEdits[channel], ControlKind::Edit, "", ColumnX(channel) + 2, kAnalogY, kEditCx, kEditCy,
            ES_READONLY | ES_AUTOHSCROLL});
    }
    c.push_back({IDC_STATIC, ControlKind::Static, "V", kGridRight + 2, kAnalogY + 2, 8, kLabelCy});
    // Labels under the channels that share their pin with P6.
    const struct {
        int channel;
        const char* text;
    } kPinLabels[] = {{7, "CH7 (P6.7)"}, {5, "CH5 (P6.5)"}, {3, "CH3 (P6.3)"}};
    for (const auto& label : kPinLabels) {
        c.push_back({IDC_STATIC, ControlKind::Static, label.text, ColumnX(label.channel - 1) - 4, kChannelLabelY,
            kColumnCx + 8, kLabelCy});
    }
    c.push_back({IDC_READ_REFRESH, ControlKind::PushButton, "Read/Refresh", kGroupX, kCommandY, 60, kButtonCy});
    c.push_back(
        {IDC_RESTART_TARGET, ControlKind::PushButton, "Restart Target", kGroupX + 66, kCommandY, 60, kButtonCy});
    c.push_back({IDC_STATUS, ControlKind::StatusLine, "", kGroupX, kStatusY, kGroupCx, kStatusLineCy});
    return DialogTemplate {IDD_IO_PORTS, "I/O Ports", kWindowCx, kWindowCy, std::move(c)};
}

}  // namespace

const DialogTemplate& IoPortsDlgTemplate()
{
    static const DialogTemplate tpl = Build();
    return tpl;
}
