#include "res/CommunityDlgTemplate.h"

#include "res/CommunityDlgIds.h"

namespace {

// Labels on the left, the two masked entries on the right, the buttons on
// the bottom line.
constexpr int kLabelX = 6;
constexpr int kLabelCx = 115;
constexpr int kEditX = 122;
constexpr int kEditCx = 80;  // twelve masked characters
constexpr int kRow1 = 9;
constexpr int kRow2 = 31;
constexpr int kButtonY = 55;
constexpr int kCommunityLength = 12;
constexpr unsigned kMaskedEdit = ES_PASSWORD | ES_AUTOHSCROLL;

const DialogTemplate kCommunityDlg {
    IDD_COMMUNITY,
    "Change R/W Community String",
    kEditX + kEditCx + 6,
    76,
    {
        {IDOK, ControlKind::DefPushButton, "Change", kLabelX, kButtonY, 50, 14},
        {IDCANCEL, ControlKind::PushButton, "Cancel", kEditX + kEditCx - 50, kButtonY, 50, 14},
        {IDC_NEW_COMMUNITY, ControlKind::Edit, "", kEditX, kRow1, kEditCx, 12, kMaskedEdit, kCommunityLength},
        {IDC_RETYPED_COMMUNITY, ControlKind::Edit, "", kEditX, kRow2, kEditCx, 12, kMaskedEdit, kCommunityLength},
        {IDC_STATIC, ControlKind::Static, "New Community string\n(4 to 12 characters)", kLabelX, kRow1 - 2, kLabelCx,
            16},
        {IDC_STATIC, ControlKind::Static, "Re-type new community string", kLabelX, kRow2 + 2, kLabelCx, 9},
    },
};

}  // namespace

const DialogTemplate& CommunityDlgTemplate() { return kCommunityDlg; }
