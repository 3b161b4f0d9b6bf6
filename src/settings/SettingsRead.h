#pragma once
// "Read Settings" without a window: the firmware version, then the settings
// batches that the version's feature level reads, decoded into named texts
// and the two mode words. The main window decodes its numbers with the same
// helpers.

#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "settings/FeatureLevels.h"
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

// The main window's settings by name, in SettingsKeys order (without the
// firmware and the mode words): the control, the key, and the label beside
// the field (nullptr for the restart pulse width, whose label 1082 follows
// the firmware).
struct MainSettingName {
    int control;
    const char* key;
    const char* label;
};
const std::vector<MainSettingName>& MainSettingNames();

// The key of a settings object (nullptr: none, e.g. for a mode word).
const char* SettingKey(const SettingsObject& object);

// The decoding of "Read Settings" without the exchanges (CModuleSettingsRead
// runs them): the version answer, then each settings batch in the order of
// the version's plan.
class CSettingsDecoder {
public:
    // From the answer to the version read; false (failure Refused) when the
    // firmware is not supported.
    bool TakeVersion(int32_t word);
    // The settings objects of the plan's batches, in order.
    const std::vector<std::vector<SettingsObject>>& Batches() const { return m_batches; }
    // The answers of batch `batch` (a request that read Batches()[batch]).
    void TakeBatch(size_t batch, const CSnmpRequest& request);
    // A failed read of the version (batch < 0) or of a settings batch.
    void Fail(int batch, int code);
    // The settings, once every batch was taken (or a failure).
    ModuleSettings Result() const;

private:
    ModuleSettings m_settings;
    std::vector<std::vector<SettingsObject>> m_batches;
    // Batches may read an object twice; the last read counts.
    std::map<std::string, QString> m_values;
};
