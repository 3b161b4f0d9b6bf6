#include "settings/SetterTable.h"

#include "res/MainDlgIds.h"
#include "settings/FeatureLevels.h"
#include "settings/MacText.h"

namespace {
constexpr uint32_t kAll = 0xFFFFFFFFu;
constexpr SetterCheck kNoCheck = {0, 0, 0, nullptr};
constexpr const char* kUnreachableModuleIp
    = "ERROR in IP address. 0.0.0.0 and 255.255.255.255 would cut the module off the network.";
constexpr const char* kBadMacLock = "ERROR in MAC Lock value. Enter six hexadecimal bytes, e.g. 00 0A 1B 2C 3D 4E";

char TypeLetter(SetterField kind)
{
    switch (kind) {
    case SetterField::IpAddress: return 'a';
    case SetterField::MacLock: return 'x';
    case SetterField::Number: return 'i';
    }
    return 0;
}
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

bool SetterAccepts(const SetterSpec& setter, uint32_t number)
{
    return setter.kind != SetterField::Number || (number >= setter.check.min && number <= setter.check.max);
}

const char* SetterAddressRefusal(const SetterSpec& setter, uint32_t address)
{
    const bool unreachable = address == 0 || address == 0xFFFFFFFFu;
    return setter.button == IDC_SET_IP && unreachable ? kUnreachableModuleIp : nullptr;
}

bool SetterWrite(const SetterSpec& setter, const QString& text, uint32_t number, SnmpVarSpec& var, const char** refusal)
{
    var.oid = SettingOidFor(setter.field);
    var.type = TypeLetter(setter.kind);
    switch (setter.kind) {
    case SetterField::IpAddress: var.value = text.toStdString(); return true;
    case SetterField::MacLock: {
        QByteArray hex;
        if (!MacLockToHex(text, hex)) {
            if (refusal)
                *refusal = kBadMacLock;
            return false;
        }
        var.value = hex.toStdString();
        return true;
    }
    case SetterField::Number: {
        const auto sent = static_cast<uint32_t>(static_cast<int64_t>(number) + setter.offset) & setter.mask;
        var.value = std::to_string(static_cast<int>(sent));
        return true;
    }
    }
    return false;
}

const SetterSpec* SetterFor(int control)
{
    for (const SetterSpec& setter : kSetters)
        if (setter.field == control)
            return &setter;
    return nullptr;
}
