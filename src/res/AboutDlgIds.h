#pragma once
// Ids of the About box (template 100).

enum AboutDlgId : int {
    IDD_ABOUTBOX = 100,
    IDR_MAINFRAME = 128,  // application icon
};
