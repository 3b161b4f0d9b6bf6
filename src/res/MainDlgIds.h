#pragma once
// Control ids of the main window (template 102), the About box (template 100)
// and the change-community window (template 136).

enum MainDlgId : int {
    IDD_ABOUTBOX = 100,
    IDD_MAIN = 102,
    IDD_COMMUNITY = 136,
    IDR_MAINFRAME = 128,  // application icon

    // Module access parameters
    IDC_READ_SETTINGS = 1004,
    IDC_MODULE_ADDRESS = 1105,
    IDC_RW_COMMUNITY = 1109,
    IDC_RO_COMMUNITY = 1111,

    // IP core settings: fields
    IDC_IP = 1007,
    IDC_MAC = 1008,
    IDC_MAC_LOCK2 = 1010,
    IDC_MAC_LOCK1 = 1011,
    IDC_ACCESS_IP = 1013,
    IDC_PING_RESTART_MIN = 1014,
    IDC_VLAN_TAG = 1015,
    IDC_PING_RESTART_COUNT = 1021,
    IDC_VERSION = 1025,
    IDC_RESTART_PULSE = 1033,
    IDC_ACCESS_MASK = 1037,
    IDC_NETWORK_MASK = 1009,
    IDC_GATEWAY = 1090,
    IDC_TFTP_SERVER = 1093,
    IDC_MONITOR_IP = 1096,
    IDC_PULSE_WIDTH_LABEL = 1082,

    // IP core settings: "Set" buttons
    IDC_SET_IP = 1041,
    IDC_SET_MAC_LOCK1 = 1042,
    IDC_SET_MAC_LOCK2 = 1043,
    IDC_SET_VLAN_TAG = 1044,
    IDC_SET_PING_RESTART = 1046,
    IDC_SET_ACCESS_IP = 1048,
    IDC_SET_PING_COUNT = 1080,
    IDC_SET_RESTART_PULSE = 1081,
    IDC_SET_NETWORK_MASK = 1088,
    IDC_SET_GATEWAY = 1091,
    IDC_SET_TFTP_SERVER = 1094,
    IDC_SET_MONITOR_IP = 1097,
    IDC_SET_ACCESS_MASK = 1102,

    // Community strings
    IDC_CHANGE_RW_PASS = 1045,
    IDC_CHANGE_RO_PASS = 1103,

    // Operating modes: word 1
    IDC_MODE_SNMP_ACCESS = 1016,
    IDC_MODE_SKIP_BROADCAST = 1017,
    IDC_MODE_VLAN_TAGGED = 1018,
    IDC_MODE_DROP_LARGE = 1019,
    IDC_MODE_PING_RESTART = 1020,
    IDC_MODE_SWITCH_CONTROL = 1022,
    IDC_MODE_SECONDARY_RST = 1023,
    IDC_MODE_P6_ANALOG = 1024,
    // Operating modes: word 2
    IDC_MODE_SAVE_IO = 1026,
    IDC_MODE_PING_LED = 1031,
    IDC_MODE_IO_RESET = 1032,
    IDC_MODE_EXTRA_FIRST = 1083,  // 1083..1087
    IDC_MODE_EXTRA_LAST = 1087,
    IDC_SET_MODES = 1047,

    // Device commands
    IDC_RESTART = 1027,
    IDC_TARGET_RESTART = 1108,
    IDC_FIRMWARE_UPDATE = 1101,

    // Buttons that open the other windows
    IDC_SWITCH_CONFIGURATION = 1028,
    IDC_SWITCH_STATUS = 1030,
    IDC_SNMP_TRAPS = 1100,
    IDC_IO_PORTS = 1107,
    IDC_MAC_SEARCH = 1283,
    IDC_RS232 = 1113,

    // Change-community window
    IDC_NEW_COMMUNITY = 1263,
    IDC_RETYPED_COMMUNITY = 1264,
};
