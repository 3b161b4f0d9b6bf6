#pragma once
// "Read Settings" without a window: the firmware version, then the settings
// batches that the version's feature level reads, decoded into named texts
// and the two mode words. The main window decodes its numbers with the same
// helpers.

#include <QString>
#include <cstdint>
#include <vector>

#include "core/FeatureLevels.h"
#include "snmp/FirmwareVersion.h"

class CSnmpRequest;

// The number a numeric settings object shows (Integer, CountPlusOne).
uint32_t SettingNumber(SettingDecode decode, int32_t integer);
// The dotted text of an IpAddress result word (first octet in the low byte).
QString IpTextFromWord(uint32_t word);

struct NamedSetting {
    const char* key;  // "ip", "netmask", ... (see SettingsKeys)
    QString value;
};

struct ModuleSettings {
    enum class Failure {
        None,
        Version,  // the version read failed (code)
        Refused,  // the version is below what is supported
        Settings,  // a settings batch failed (code)
    };
    Failure failure = Failure::None;
    int code = 0;  // CSnmpRequest code of the failed read
    FirmwareVersion version;
    // The settings read, in SettingsKeys order, each once; the firmware first.
    std::vector<NamedSetting> values;
    bool modeWordsRead = false;
    uint32_t modeWords[2] = {0, 0};
};

// Every key a read may give, in output order: "firmware", "ip", "netmask",
// "gateway", "mac", "vlan_tag", "mac_lock1", "mac_lock2",
// "ping_restart_minutes", "ping_restart_count", "restart_pulse_width",
// "tftp_server", "monitor_ip", "access_ip", "access_mask", "mode1", "mode2".
const std::vector<const char*>& SettingsKeys();

// The key of a settings object (nullptr: none, e.g. for a mode word).
const char* SettingKey(const SettingsObject& object);

// Reads the module at `host` with the read-only community, as "Read
// Settings" does (mode words as "0x%02X").
ModuleSettings ReadModuleSettings(const char* host, const char* roCommunity);
