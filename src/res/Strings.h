#pragma once
// String table.
inline constexpr const char* IDS_ABOUTBOX = "&About Kalvor...";  // 101
inline constexpr const char* IDS_SOCKETS_INIT_FAILED = "Windows sockets initialization failed.";  // 102
inline constexpr const char* IDS_APP_TITLE = "Kalvor Version 2.07";  // 103
inline constexpr const char* IDS_FIND_MODULES = "&Find Modules...";
inline constexpr const char* IDS_SAVE_MODULE_SETTINGS = "&Save Module Settings...";
inline constexpr const char* IDS_APPLY_MODULE_SETTINGS = "A&pply Module Settings...";

// Status-line texts shared by the windows.
inline constexpr const char* kStatusConnecting = "Connecting to target host ...";
inline constexpr const char* kStatusSnmpError = "SNMP Error: Unable to connect to target host! (Error code %1)";
inline constexpr const char* kStatusDataReceived = "Connection established! SNMP data received.";
inline constexpr const char* kStatusTargetRestarted = "Connection established! \"Target Restart\" command confirmed.";
inline constexpr const char* kStatusCommunityNot8Bit
    = "ERROR in community string. Only 8-bit (Latin-1) characters can be sent to the module.";
inline constexpr const char* kStatusBanner = "%1. Supports Ferlox up to ver.4.079. Built with net-snmp version %2.";
