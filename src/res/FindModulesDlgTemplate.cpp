#include "res/FindModulesDlgTemplate.h"

#include "platform/Dialog.h"
#include "res/FindModulesDlgIds.h"

// The range and the community on the left with "Scan" and "Copy" beside
// them, the progress bar across the window, the list of the modules found
// below it, and the status line.

namespace {

constexpr int kMargin = 7;
constexpr int kWidth = 292;
constexpr int kLabelCx = 62;
constexpr int kFieldX = kMargin + kLabelCx + 3;
constexpr int kFieldCx = 116;
constexpr int kButtonCx = 50;
constexpr int kButtonX = kWidth - kMargin - kButtonCx;
constexpr int kButtonCy = 14;
constexpr int kRangeRow = 7;
constexpr int kCommunityRow = 24;
constexpr int kProgressY = 42;
constexpr int kListY = 54;
constexpr int kListCy = 112;
constexpr int kStatusY = kListY + kListCy + 6;

const DialogTemplate kFindModulesDlg {
    IDD_FIND_MODULES,
    "Find Modules",
    kWidth,
    kStatusY + kStatusLineCy + 4,
    {
        {IDC_STATIC, ControlKind::Static, "Address range", kMargin, kRangeRow + 2, kLabelCx, 9},
        {IDC_FIND_RANGE, ControlKind::Edit, "", kFieldX, kRangeRow, kFieldCx, 12, ES_AUTOHSCROLL, kFindRangeLength},
        {IDC_FIND_SCAN, ControlKind::DefPushButton, "Scan", kButtonX, kRangeRow - 1, kButtonCx, kButtonCy},
        {IDC_STATIC, ControlKind::Static, "Read community", kMargin, kCommunityRow + 2, kLabelCx, 9},
        {IDC_FIND_COMMUNITY, ControlKind::Edit, "", kFieldX, kCommunityRow, kFieldCx, 12, ES_AUTOHSCROLL,
            kFindCommunityLength},
        {IDC_FIND_COPY, ControlKind::PushButton, "Copy", kButtonX, kCommunityRow - 1, kButtonCx, kButtonCy},
        {IDC_FIND_PROGRESS, ControlKind::Progress, "", kMargin, kProgressY, kWidth - 2 * kMargin, 8},
        {IDC_FIND_LIST, ControlKind::ListReport, "", kMargin, kListY, kWidth - 2 * kMargin, kListCy},
        {IDC_STATUS, ControlKind::StatusLine, "", kMargin, kStatusY, kWidth - 2 * kMargin, kStatusLineCy},
    },
};

}  // namespace

const DialogTemplate& FindModulesDlgTemplate() { return kFindModulesDlg; }
