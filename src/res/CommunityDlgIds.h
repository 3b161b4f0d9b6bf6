#pragma once
// Ids of the change-community window (template 136).

enum CommunityDlgId : int {
    IDD_COMMUNITY = 136,
    IDC_NEW_COMMUNITY = 1263,
    IDC_RETYPED_COMMUNITY = 1264,
};
