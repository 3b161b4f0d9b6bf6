#pragma once
// Control ids of the switch settings window (template 130).

enum SwitchDlgId : int {
    IDD_SWITCH = 130,

    // Global check boxes (bound to register bits by kGlobalBits)
    IDC_SW_FILTER_BAD = 1100,
    IDC_SW_NO_TX_FLOW = 1101,
    IDC_SW_RX_FLOW = 1102,
    IDC_SW_BROADCAST_DROP = 1103,
    IDC_SW_AGING = 1104,
    IDC_SW_FAST_AGING = 1105,
    IDC_SW_NO_VLAN_MODE = 1106,
    IDC_SW_NO_8021Q = 1108,
    IDC_SW_KEEP_NON_MEMBER = 1109,
    IDC_SW_KEEP_UNTAGGED = 1110,
    IDC_SW_DIFFSERV_HIGH = 1111,
    IDC_SW_TRUNKING = 1113,
    IDC_SW_IP_A_HIGH = 1116,
    IDC_SW_IP_B_HIGH = 1117,
    IDC_SW_DIFFSERV_B_HIGH = 1118,
    IDC_SW_DIFFSERV_A_HIGH = 1119,
    IDC_SW_FRAME_GAP = 1122,
    IDC_SW_LOOKUP_ACCESS = 1123,  // disabled: display only
    IDC_SW_NO_LOOP_DETECT = 1124,

    // Global fields
    IDC_SW_LED_MODE = 1107,
    IDC_SW_PRIORITY_THRESHOLD = 1112,
    IDC_SW_QUEUE_RATIO = 1115,
    IDC_SW_DIFFSERV_B = 1120,
    IDC_SW_DIFFSERV_A = 1121,

    // Port page
    IDC_SW_PORT_TABS = 1220,
    IDC_SW_100MB = 1146,
    IDC_SW_FULL_DUPLEX = 1155,
    IDC_SW_BACKPRESSURE = 1081,
    IDC_SW_PORT_ENABLE = 1092,
    IDC_SW_LEARNING = 1095,
    IDC_SW_LOOPBACK = 1086,
    IDC_SW_NULL_VID = 1087,
    IDC_SW_TAG_DISCARD = 1088,
    IDC_SW_NO_8021P = 1089,
    IDC_SW_NO_DIFFSERV = 1090,
    IDC_SW_NO_PORT_PRIORITY = 1091,
    IDC_SW_TAG_NO_CHANGE = 1082,  // first of the four tag handling radio buttons
    IDC_SW_TAG_INSERT = 1083,
    IDC_SW_TAG_REMOVE = 1084,
    IDC_SW_TAG_REPLACE = 1085,
    IDC_SW_VLAN_INDEX = 1094,
    IDC_SW_VLAN_INDEX_LABEL = 1099,
    IDC_SW_INSERT_TAG = 1137,  // disabled: display only
    IDC_SW_INSERT_TAG_LABEL = 1164,

    // VLAN groups: membership box of group g, port p = 1129 + 9 g + p
    IDC_SW_MEMBER_FIRST = 1129,
    IDC_SW_MEMBER_ROW_STEP = 9,
    IDC_SW_GROUP_ID_A = 1212,
    IDC_SW_GROUP_ID_B = 1213,
    IDC_SW_GROUP_ID_C = 1214,
    IDC_SW_GROUP_ID_D = 1215,
    IDC_SW_GROUP_ID_E = 1216,
    IDC_SW_GROUP_ID_F = 1217,
    IDC_SW_GROUP_ID_G = 1219,
    IDC_SW_GROUP_ID_H = 1221,

    // Priority addresses
    IDC_SW_IP_A = 1125,
    IDC_SW_MASK_A = 1126,
    IDC_SW_IP_B = 1127,
    IDC_SW_MASK_B = 1128,

    // Buttons
    IDC_SW_RESTART = 1223,
    IDC_SW_PORTS_STATUS = 1218,
    IDC_SW_READ = 1097,
    IDC_SW_SAVE = 1098,
    IDC_SW_LOAD_FILE = 1202,
    IDC_SW_SAVE_FILE = 1201,
    IDC_SW_DEFAULTS = 1114,
};

// Membership box of VLAN group g (0 = A .. 7 = H) and port p (0..7).
constexpr int MemberControl(int group, int port) { return IDC_SW_MEMBER_FIRST + IDC_SW_MEMBER_ROW_STEP * group + port; }

// Group ID edits of the groups A to H.
inline constexpr int kGroupIdControls[8] = {IDC_SW_GROUP_ID_A, IDC_SW_GROUP_ID_B, IDC_SW_GROUP_ID_C, IDC_SW_GROUP_ID_D,
    IDC_SW_GROUP_ID_E, IDC_SW_GROUP_ID_F, IDC_SW_GROUP_ID_G, IDC_SW_GROUP_ID_H};
