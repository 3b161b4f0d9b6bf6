#include "core/SettingsRead.h"

#include <map>
#include <memory>
#include <string>

#include "core/MacText.h"
#include "res/MainDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

namespace {

struct KeyOfControl {
    int control;
    const char* key;
};
const KeyOfControl kKeys[] = {
    {IDC_IP, "ip"},
    {IDC_NETWORK_MASK, "netmask"},
    {IDC_GATEWAY, "gateway"},
    {IDC_MAC, "mac"},
    {IDC_VLAN_TAG, "vlan_tag"},
    {IDC_MAC_LOCK1, "mac_lock1"},
    {IDC_MAC_LOCK2, "mac_lock2"},
    {IDC_PING_RESTART_MIN, "ping_restart_minutes"},
    {IDC_PING_RESTART_COUNT, "ping_restart_count"},
    {IDC_RESTART_PULSE, "restart_pulse_width"},
    {IDC_TFTP_SERVER, "tftp_server"},
    {IDC_MONITOR_IP, "monitor_ip"},
    {IDC_ACCESS_IP, "access_ip"},
    {IDC_ACCESS_MASK, "access_mask"},
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

const std::vector<const char*>& SettingsKeys()
{
    static const std::vector<const char*> keys = [] {
        std::vector<const char*> all {"firmware"};
        for (const KeyOfControl& entry : kKeys)
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
    for (const KeyOfControl& entry : kKeys)
        if (entry.control == object.control)
            return entry.key;
    return nullptr;
}

ModuleSettings ReadModuleSettings(const char* host, const char* roCommunity)
{
    ModuleSettings settings;
    {
        CSnmpRequest request(host, roCommunity, 1);
        request.AddVar(Oid::kFirmwareVersion, "", 0);
        const int result = request.Get();
        if (result < 0) {
            settings.failure = ModuleSettings::Failure::Version;
            settings.code = result;
            return settings;
        }
        settings.version = FirmwareVersion::FromWord(request.GetInteger(0));
    }
    if (!settings.version.IsAccepted()) {
        settings.failure = ModuleSettings::Failure::Refused;
        return settings;
    }
    // Batches may read an object twice; the last read counts.
    std::map<std::string, QString> values;
    values["firmware"] = settings.version.Text();
    for (ReadBatch batch : PlanRead(settings.version).batches) {
        const std::vector<SettingsObject> objects = BatchObjects(batch);
        CSnmpRequest request(host, roCommunity, static_cast<uint32_t>(objects.size()));
        for (const SettingsObject& object : objects)
            request.AddVar(object.oid, "", 0);
        const int result = request.Get();
        if (result < 0) {
            settings.failure = ModuleSettings::Failure::Settings;
            settings.code = result;
            return settings;
        }
        for (uint32_t slot = 0; slot < objects.size(); ++slot) {
            const SettingsObject& object = objects[slot];
            const char* key = SettingKey(object);
            const int32_t integer = request.GetInteger(slot);
            switch (object.decode) {
            case SettingDecode::IpAddress: values[key] = IpTextFromWord(static_cast<uint32_t>(integer)); break;
            case SettingDecode::MacText: values[key] = MacTextFromPrinted(request.GetText(slot)); break;
            case SettingDecode::Integer:
            case SettingDecode::CountPlusOne:
                values[key] = QString::number(SettingNumber(object.decode, integer));
                break;
            case SettingDecode::ModeWord1:
            case SettingDecode::ModeWord2: {
                const int word = object.decode == SettingDecode::ModeWord1 ? 0 : 1;
                settings.modeWords[word] = static_cast<uint32_t>(integer) & 0xFF;
                settings.modeWordsRead = true;
                values[key] = ModeWordText(settings.modeWords[word]);
                break;
            }
            }
        }
    }
    for (const char* key : SettingsKeys()) {
        const auto found = values.find(key);
        if (found != values.end())
            settings.values.push_back({key, found->second});
    }
    return settings;
}
