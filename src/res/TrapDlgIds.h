#pragma once
// Control ids of the trap settings window (template 138).

enum TrapDlgId : int {
    IDD_TRAPS = 138,

    IDC_TRAP_SERVER = 1007,
    IDC_TRAP_COMMUNITY = 1013,
    IDC_READ_TRAP_SETTINGS = 1280,
    IDC_WRITE_TRAP_SETTINGS = 1281,
};

inline constexpr int kTrapChannels = 8;
inline constexpr int kTrapCommunityLength = 12;

// Threshold edits of channels 1 .. 8.
inline constexpr int kLowThresholdEdits[kTrapChannels] = {1263, 1266, 1268, 1270, 1272, 1274, 1276, 1278};
inline constexpr int kHighThresholdEdits[kTrapChannels] = {1264, 1267, 1269, 1271, 1273, 1275, 1277, 1279};
