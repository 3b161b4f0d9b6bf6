#pragma once
// Control ids of the window that shows what applying a module settings
// file would change (template 143).

enum ApplySettingsDlgId : int {
    IDD_APPLY_SETTINGS = 143,

    IDC_APPLY_INTRO = 1310,  // which file, and that the checked settings are written
    IDC_APPLY_LIST = 1311,  // one row per setting that differs, each with its check box
    IDC_APPLY_ADDRESS_NOTE = 1312,  // shown when the module's own address is among them
};
