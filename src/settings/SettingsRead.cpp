#include "settings/SettingsRead.h"


#include "settings/MacText.h"
#include "res/MainDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

namespace {

const MainSettingName kKeys[] = {
    {IDC_IP, "ip", "IP"},
    {IDC_NETWORK_MASK, "netmask", "Network Mask"},
    {IDC_GATEWAY, "gateway", "Gateway"},
    {IDC_MAC, "mac", "MAC address"},
    {IDC_VLAN_TAG, "vlan_tag", "VLAN tag"},
    {IDC_MAC_LOCK1, "mac_lock1", "MACLock1"},
    {IDC_MAC_LOCK2, "mac_lock2", "MACLock2"},
    {IDC_PING_RESTART_MIN, "ping_restart_minutes", "Ping Restart (min)"},
    {IDC_PING_RESTART_COUNT, "ping_restart_count", "Ping Restarts Count"},
    {IDC_RESTART_PULSE, "restart_pulse_width", nullptr},  // label 1082, by firmware
    {IDC_TFTP_SERVER, "tftp_server", "TFTP Server"},
    {IDC_MONITOR_IP, "monitor_ip", "Monitor IP"},
    {IDC_ACCESS_IP, "access_ip", "Access IP"},
    {IDC_ACCESS_MASK, "access_mask", "Access Mask"},
};

QString ModeWordText(uint32_t word) { return QString::asprintf("0x%02X", word & 0xFF); }

}  // namespace

uint32_t SettingNumber(SettingDecode decode, int32_t integer)
{
    const auto number = static_cast<uint32_t>(integer);
    return decode == SettingDecode::CountPlusOne ? number + 1 : number;
}

QString IpTextFromWord(uint32_t word)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(word & 0xFF)
        .arg((word >> 8) & 0xFF)
        .arg((word >> 16) & 0xFF)
        .arg(word >> 24);
}

const std::vector<MainSettingName>& MainSettingNames()
{
    static const std::vector<MainSettingName> names(std::begin(kKeys), std::end(kKeys));
    return names;
}

const std::vector<const char*>& SettingsKeys()
{
    static const std::vector<const char*> keys = [] {
        std::vector<const char*> all {"firmware"};
        for (const MainSettingName& entry : kKeys)
            all.push_back(entry.key);
        all.push_back("mode1");
        all.push_back("mode2");
        return all;
    }();
    return keys;
}

const char* SettingKey(const SettingsObject& object)
{
    if (object.decode == SettingDecode::ModeWord1)
        return "mode1";
    if (object.decode == SettingDecode::ModeWord2)
        return "mode2";
    for (const MainSettingName& entry : kKeys)
        if (entry.control == object.control)
            return entry.key;
    return nullptr;
}

bool CSettingsDecoder::TakeVersion(int32_t word)
{
    m_settings.version = FirmwareVersion::FromWord(word);
    if (!m_settings.version.IsAccepted()) {
        m_settings.failure = ModuleSettings::Failure::Refused;
        return false;
    }
    m_values["firmware"] = m_settings.version.Text();
    for (ReadBatch batch : PlanRead(m_settings.version).batches)
        m_batches.push_back(BatchObjects(batch));
    return true;
}

void CSettingsDecoder::TakeBatch(size_t batch, const CSnmpRequest& request)
{
    const std::vector<SettingsObject>& objects = m_batches.at(batch);
    for (uint32_t slot = 0; slot < objects.size(); ++slot) {
        const SettingsObject& object = objects[slot];
        const char* key = SettingKey(object);
        const int32_t integer = request.GetInteger(slot);
        switch (object.decode) {
        case SettingDecode::IpAddress: m_values[key] = IpTextFromWord(static_cast<uint32_t>(integer)); break;
        case SettingDecode::MacText: m_values[key] = MacTextFromPrinted(request.GetText(slot)); break;
        case SettingDecode::Integer:
        case SettingDecode::CountPlusOne:
            m_values[key] = QString::number(SettingNumber(object.decode, integer));
            break;
        case SettingDecode::ModeWord1:
        case SettingDecode::ModeWord2: {
            const int word = object.decode == SettingDecode::ModeWord1 ? 0 : 1;
            m_settings.modeWords[word] = static_cast<uint32_t>(integer) & 0xFF;
            m_settings.modeWordsRead = true;
            m_values[key] = ModeWordText(m_settings.modeWords[word]);
            break;
        }
        }
    }
}

void CSettingsDecoder::Fail(int batch, int code)
{
    m_settings.failure = batch < 0 ? ModuleSettings::Failure::Version : ModuleSettings::Failure::Settings;
    m_settings.code = code;
}

ModuleSettings CSettingsDecoder::Result() const
{
    ModuleSettings settings = m_settings;
    if (settings.failure != ModuleSettings::Failure::None)
        return settings;
    for (const char* key : SettingsKeys()) {
        const auto found = m_values.find(key);
        if (found != m_values.end())
            settings.values.push_back({key, found->second});
    }
    return settings;
}
