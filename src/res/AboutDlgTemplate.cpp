#include "res/AboutDlgTemplate.h"

#include "res/AboutDlgIds.h"

namespace {

// Icon, text and OK on one line, centred vertically.
const DialogTemplate kAboutDlg {
    IDD_ABOUTBOX,
    "About Kalvor",
    232,
    47,
    {
        {IDR_MAINFRAME, ControlKind::Icon, "", 9, 13, 22, 20},
        {IDC_STATIC, ControlKind::Static, "Nubrel/Ferlox SNMP Control Interface", 36, 19, 138, 9},
        {IDOK, ControlKind::DefPushButton, "OK", 178, 16, 47, 14},
    },
};

}  // namespace

const DialogTemplate& AboutDlgTemplate() { return kAboutDlg; }
