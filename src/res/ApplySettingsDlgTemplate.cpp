#include "res/ApplySettingsDlgTemplate.h"

#include "platform/Dialog.h"
#include "res/ApplySettingsDlgIds.h"

// The file named on top, the list of the settings that differ across the
// window, the note on the module's own address below it, and "Write" and
// "Cancel" on the bottom line.

namespace {

constexpr int kMargin = 7;
constexpr int kWidth = 380;
constexpr int kIntroCy = 18;
constexpr int kListY = kMargin + kIntroCy + 3;
constexpr int kListCy = 150;
constexpr int kNoteY = kListY + kListCy + 4;
constexpr int kNoteCy = 18;
constexpr int kButtonY = kNoteY + kNoteCy + 5;
constexpr int kButtonCx = 50;
constexpr int kButtonCy = 14;

const DialogTemplate kApplySettingsDlg {
    IDD_APPLY_SETTINGS,
    "Apply Module Settings",
    kWidth,
    kButtonY + kButtonCy + kMargin,
    {
        {IDC_APPLY_INTRO, ControlKind::Static, "", kMargin, kMargin, kWidth - 2 * kMargin, kIntroCy},
        {IDC_APPLY_LIST, ControlKind::ListReport, "", kMargin, kListY, kWidth - 2 * kMargin, kListCy},
        {IDC_APPLY_ADDRESS_NOTE, ControlKind::Static,
            "When checked, the module's own IP address is written last; the module\n"
            "then answers at the file's address, which \"IP Address\" takes.",
            kMargin, kNoteY, kWidth - 2 * kMargin, kNoteCy, WS_HIDDEN},
        {IDOK, ControlKind::DefPushButton, "Write", kWidth - kMargin - 2 * kButtonCx - 4, kButtonY, kButtonCx,
            kButtonCy},
        {IDCANCEL, ControlKind::PushButton, "Cancel", kWidth - kMargin - kButtonCx, kButtonY, kButtonCx, kButtonCy},
    },
};

}  // namespace

const DialogTemplate& ApplySettingsDlgTemplate() { return kApplySettingsDlg; }
