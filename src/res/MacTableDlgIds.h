#pragma once
// Control ids of the MAC table window (template 139).

enum MacTableDlgId : int {
    IDD_MAC_TABLE = 139,

    IDC_MAC_SEARCH_TEXT = 1008,  // "Enter MAC address"
    IDC_MAC_SEARCH_BUTTON = 1284,  // "Search ..."
    IDC_MAC_LIST_TABLE = 1287,  // "List Entire Table"
    IDC_MAC_RESULTS = 1288,  // "MAC found", "Port", "Age"
    IDC_MAC_CLEAR = 1289,
    IDC_MAC_COPY = 1290,

    // The progress bar of a walk, made while the walk runs.
    IDC_MAC_WALK_PROGRESS = 1,
};
