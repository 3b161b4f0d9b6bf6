#include "res/MacTableDlgTemplate.h"

#include "platform/Dialog.h"
#include "res/MacTableDlgIds.h"

// The MAC field and "Search ..." on top, the result list with its buttons on
// the right below it, an empty strip where a walk shows its progress bar,
// and the status line.

namespace {

constexpr int kMargin = 7;
constexpr int kFieldRow = 7;
constexpr int kListY = 25;
constexpr int kListCx = 152;
constexpr int kListCy = 76;
constexpr int kWidth = 252;
constexpr int kButtonX = kMargin + kListCx + 6;
constexpr int kButtonCx = kWidth - kMargin - kButtonX;
constexpr int kButtonCy = 14;
constexpr int kStatusY = 115;

const DialogTemplate kMacTableDlg {
    IDD_MAC_TABLE,
    "Trellim MAC table access",
    kWidth,
    kStatusY + kStatusLineCy + 4,
    {
        {IDC_STATIC, ControlKind::Static, "Enter MAC address", kMargin, kFieldRow + 2, 70, 9},
        {IDC_MAC_SEARCH_TEXT, ControlKind::Edit, "", 79, kFieldRow, 80, 12, ES_AUTOHSCROLL},
        {IDC_MAC_SEARCH_BUTTON, ControlKind::DefPushButton, "Search ...", kButtonX, kFieldRow - 1, kButtonCx,
            kButtonCy},
        {IDC_MAC_RESULTS, ControlKind::ListReport, "", kMargin, kListY, kListCx, kListCy},
        {IDC_MAC_CLEAR, ControlKind::PushButton, "Clear", kButtonX, kListY, kButtonCx, kButtonCy},
        {IDC_MAC_COPY, ControlKind::PushButton, "Copy", kButtonX, kListY + 18, kButtonCx, kButtonCy},
        {IDC_MAC_LIST_TABLE, ControlKind::PushButton, "List Entire Table", kButtonX, kListY + kListCy - kButtonCy,
            kButtonCx, kButtonCy},
        {IDC_STATUS, ControlKind::StatusLine, "", kMargin, kStatusY, kWidth - 2 * kMargin, kStatusLineCy},
    },
};

}  // namespace

const DialogTemplate& MacTableDlgTemplate() { return kMacTableDlg; }
