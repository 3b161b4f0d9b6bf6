#include "res/TrapDlgTemplate.h"

#include "platform/Dialog.h"
#include "res/TrapDlgIds.h"

// Layout of the trap settings window, in dialog units. The server group on
// top holds the trap server address and community with the two buttons on
// its right; the thresholds group below shows the eight channels in two
// blocks of four (channels 1-4 on the left, 5-8 on the right), each with a
// low and a high column.

namespace {

constexpr int kWindowCx = 262;
constexpr int kGroupX = 7;
constexpr int kGroupCx = kWindowCx - 2 * kGroupX;
constexpr int kFieldCy = 12;
constexpr int kLabelCy = 9;
constexpr int kTwoLineCy = 16;
constexpr int kButtonCx = 60;
constexpr int kButtonCy = 14;

// Server group.
constexpr int kServerGroupY = 4;
constexpr int kServerRow1 = 18;
constexpr int kServerRow2 = 38;
constexpr int kServerNoteY = 56;
constexpr int kServerGroupCy = kServerNoteY + kLabelCy + 5 - kServerGroupY;
constexpr int kServerLabelX = 14;
constexpr int kServerLabelCx = 48;
constexpr int kServerFieldX = 64;
constexpr int kButtonX = kGroupX + kGroupCx - kButtonCx - 8;

// Thresholds group.
constexpr int kThresholdGroupY = kServerGroupY + kServerGroupCy + 6;
constexpr int kHeadingY = kThresholdGroupY + 11;
constexpr int kFirstRow = kHeadingY + kTwoLineCy + 3;
constexpr int kRowStep = 15;
constexpr int kChannelsPerBlock = 4;
constexpr int kThresholdNoteY = kFirstRow + kChannelsPerBlock * kRowStep + 2;
constexpr int kThresholdGroupCy = kThresholdNoteY + kLabelCy + 5 - kThresholdGroupY;
constexpr int kBlockX[2] = {16, 138};
constexpr int kChannelLabelCx = 22;
constexpr int kLowX = 26;  // from the block's left edge
constexpr int kHighX = 72;
constexpr int kThresholdCx = 40;
constexpr int kHeadingCx = 44;

constexpr int kStatusY = kThresholdGroupY + kThresholdGroupCy + 6;
constexpr int kWindowCy = kStatusY + kStatusLineCy + 6;

const char* const kChannelLabels[kTrapChannels] = {"Ch.1", "Ch.2", "Ch.3", "Ch.4", "Ch.5", "Ch.6", "Ch.7", "Ch.8"};

DialogTemplate Build()
{
    std::vector<ControlSpec> c = {
        {IDC_STATIC, ControlKind::GroupBox, "Trap Server Settings", kGroupX, kServerGroupY, kGroupCx, kServerGroupCy},
        {IDC_STATIC, ControlKind::Static, "Trap Server\nIP address", kServerLabelX, kServerRow1 - 2, kServerLabelCx,
            kTwoLineCy},
        {IDC_TRAP_SERVER, ControlKind::IpAddress, "", kServerFieldX, kServerRow1, 80, kFieldCy},
        {IDC_STATIC, ControlKind::Static, "Community\nstring", kServerLabelX, kServerRow2 - 2, kServerLabelCx,
            kTwoLineCy},
        {IDC_TRAP_COMMUNITY, ControlKind::Edit, "", kServerFieldX, kServerRow2, 60, kFieldCy, ES_AUTOHSCROLL,
            kTrapCommunityLength},
        {IDC_STATIC, ControlKind::Static, "Note: Set IP address to 0.0.0.0 to disable genaration of all traps",
            kServerLabelX, kServerNoteY, kGroupCx - 14, kLabelCy},
        {IDC_READ_TRAP_SETTINGS, ControlKind::PushButton, "Read Settings", kButtonX, kServerRow1 - 1, kButtonCx,
            kButtonCy},
        {IDC_WRITE_TRAP_SETTINGS, ControlKind::PushButton, "Write Settings", kButtonX, kServerRow2 - 1, kButtonCx,
            kButtonCy, WS_DISABLED},
        {IDC_STATIC, ControlKind::GroupBox, "Analog Events Thresholds", kGroupX, kThresholdGroupY, kGroupCx,
            kThresholdGroupCy},
    };
    for (int block = 0; block < 2; ++block) {
        c.push_back({IDC_STATIC, ControlKind::Static, "Low\nThreshold", kBlockX[block] + kLowX, kHeadingY, kHeadingCx,
            kTwoLineCy});
        c.push_back({IDC_STATIC, ControlKind::Static, "High\nThreshold", kBlockX[block] + kHighX, kHeadingY, kHeadingCx,
            kTwoLineCy});
    }
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        const int x = kBlockX[channel / kChannelsPerBlock];
        const int y = kFirstRow + (channel % kChannelsPerBlock) * kRowStep;
        c.push_back({IDC_STATIC, ControlKind::Static, kChannelLabels[channel], x, y + 2, kChannelLabelCx, kLabelCy});
        c.push_back(
            {kLowThresholdEdits[channel], ControlKind::Edit, "", x + kLowX, y, kThresholdCx, kFieldCy, ES_AUTOHSCROLL});
        c.push_back({kHighThresholdEdits[channel], ControlKind::Edit, "", x + kHighX, y, kThresholdCx, kFieldCy,
            ES_AUTOHSCROLL});
    }
    c.push_back({IDC_STATIC, ControlKind::Static, "/set Low=0,High=1023 to disable trap on channel/", kBlockX[0],
        kThresholdNoteY, kGroupCx - 18, kLabelCy});
    c.push_back({IDC_STATUS, ControlKind::StatusLine, "", kGroupX, kStatusY, kGroupCx, kStatusLineCy});
    return DialogTemplate {IDD_TRAPS, "SNMP Trap Settings", kWindowCx, kWindowCy, std::move(c)};
}

}  // namespace

const DialogTemplate& TrapDlgTemplate()
{
    static const DialogTemplate tpl = Build();
    return tpl;
}
