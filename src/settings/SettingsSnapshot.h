#pragma once
// A module's settings by key (see SettingsCatalog.h): as read from a module,
// or as a module settings file holds them, and the differences between two
// of them.

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "settings/SerialSettings.h"
#include "settings/SettingsCatalog.h"
#include "settings/SettingsRead.h"
#include "settings/SwitchImage.h"
#include "settings/TrapSettings.h"

struct SettingsSnapshot {
    ModuleShape shape;
    // Canonical values of the settings of SettingsOf(shape), the firmware
    // and MAC address among them.
    std::map<std::string, QString> values;

    // Read from a module only: what its windows start a write from (the
    // mode words with the bits no box may change, the trap community).
    bool fromModule = false;
    std::array<uint32_t, 2> modeWords {};
    TrapValues traps;
    CSwitchImage image;

    // The value of `key`, or an empty text when it has none.
    QString Value(const std::string& key) const;
    bool Has(const std::string& key) const { return values.count(key) != 0; }
    // The settings held, without the firmware and the MAC address.
    size_t SettingCount() const;
};

// The snapshot of a module's reads: "Read Settings", then what its trap,
// serial and switch windows read (nullptr for a window it does not have).
SettingsSnapshot SnapshotOfModule(
    const ModuleSettings& main, const TrapValues* traps, const SerialLine* serial, const CSwitchImage* image);

// One setting whose value differs (the firmware and the MAC address are no
// settings). An empty value: that side does not have the setting.
struct SettingDifference {
    std::string key;
    QString label;  // `from`'s, else `to`'s
    QString from;
    QString to;
};
// In file order.
std::vector<SettingDifference> DiffSettings(const SettingsSnapshot& from, const SettingsSnapshot& to);
