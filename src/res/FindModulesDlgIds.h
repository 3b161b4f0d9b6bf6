#pragma once
// Control ids of the Find Modules window (template 142).

enum FindModulesDlgId : int {
    IDD_FIND_MODULES = 142,

    IDC_FIND_RANGE = 1300,  // "Address range"
    IDC_FIND_COMMUNITY = 1301,  // "Read community"
    IDC_FIND_SCAN = 1302,  // "Scan", "Stop" while a scan runs
    IDC_FIND_COPY = 1303,
    IDC_FIND_PROGRESS = 1304,
    IDC_FIND_LIST = 1305,  // the modules that answered
};

// "255.255.255.255-255.255.255.255"
inline constexpr int kFindRangeLength = 31;
inline constexpr int kFindCommunityLength = 12;
