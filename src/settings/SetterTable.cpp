#include "settings/SetterTable.h"

#include "res/MainDlgIds.h"

namespace {
constexpr uint32_t kAll = 0xFFFFFFFFu;
constexpr SetterCheck kNoCheck = {0, 0, 0, nullptr};
}  // namespace

const std::array<SetterSpec, 13> kSetters = {{
    {IDC_SET_IP, IDC_IP, SetterField::IpAddress, kAll, 0, kNoCheck,
        "Connection established! IP address changed."},
    {IDC_SET_NETWORK_MASK, IDC_NETWORK_MASK, SetterField::IpAddress, kAll, 0, kNoCheck,
        "Connection established! Network Mask changed."},
    {IDC_SET_GATEWAY, IDC_GATEWAY, SetterField::IpAddress, kAll, 0, kNoCheck,
        "Connection established! Default Gateway address changed."},
    {IDC_SET_TFTP_SERVER, IDC_TFTP_SERVER, SetterField::IpAddress, kAll, 0, kNoCheck,
        "Connection established! TFTP Server IP address changed."},
    {IDC_SET_MONITOR_IP, IDC_MONITOR_IP, SetterField::IpAddress, kAll, 0, kNoCheck,
        "Connection established! IP address for monitoring with ping changed."},
    {IDC_SET_ACCESS_IP, IDC_ACCESS_IP, SetterField::IpAddress, kAll, 0, kNoCheck,
        "Connection established! Access IP address changed."},
    {IDC_SET_ACCESS_MASK, IDC_ACCESS_MASK, SetterField::IpAddress, kAll, 0, kNoCheck,
        "Connection established! Access Mask address changed."},
    {IDC_SET_MAC_LOCK1, IDC_MAC_LOCK1, SetterField::MacLock, kAll, 0, kNoCheck,
        "Connection established! MAC Lock1 address changed."},
    {IDC_SET_MAC_LOCK2, IDC_MAC_LOCK2, SetterField::MacLock, kAll, 0, kNoCheck,
        "Connection established! MAC Lock2 address changed."},
    {IDC_SET_VLAN_TAG, IDC_VLAN_TAG, SetterField::Number, 0xFFF, 0,
        {0, 4095, 1, "ERROR in VLAN Tag value. Must be in the range [0..4095]"},
        "Connection established! VLAN Tag changed."},
    {IDC_SET_PING_RESTART, IDC_PING_RESTART_MIN, SetterField::Number, 0xFF, 0,
        {1, 255, 1, "ERROR in Ping Restart Value. Must be in the range [1..255] minutes"},
        "Connection established! Ping Restart Timeout changed."},
    {IDC_SET_PING_COUNT, IDC_PING_RESTART_COUNT, SetterField::Number, 0xFF, -1,
        {1, 256, 256, "ERROR in PingCount Value. Must be in the range [1..255]"},
        "Connection established! PingCount changed."},
    {IDC_SET_RESTART_PULSE, IDC_RESTART_PULSE, SetterField::Number, kAll, 0,
        {1, 32767, 512, "ERROR in PingCount Value. Must be in the range [1..32767]"},
        "Connection established! RestartPulse changed."},
}};
