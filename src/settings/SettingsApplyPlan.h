#pragma once
// Bringing a module to a settings file, planned without any exchange: the
// checks before any write, and the writes, each made as the window that
// owns the settings makes it (the same requests, in the same order):
//   1. the main window's setters, one request each, in the order of its
//      "Set" buttons;
//   2. "Set Modes": the mode words, the bits no box may change kept as read,
//      in the passes of the firmware (a pause before the second);
//   3. the serial window's "Set Settings" (baud rate, parity, time-out);
//   4. the trap window's "Write Settings" (only what differs);
//   5. the switch window's upload (changed registers, restart, wait,
//      confirmation);
//   6. last, the module's own IP address.

#include <QString>
#include <string>
#include <vector>

#include "settings/SettingsSnapshot.h"
#include "settings/SwitchImage.h"
#include "snmp/SnmpRequest.h"

struct ApplyStep {
    SettingGroup group = SettingGroup::Main;
    std::vector<std::string> keys;  // the settings it writes
    std::vector<SnmpVarSpec> writes;  // one batch; empty for the switch upload
    unsigned pauseBeforeMs = 0;
    bool switchUpload = false;  // `image` uploaded against the module's
    CSwitchImage image;
    bool moduleAddress = false;  // the module's own address: after everything else
};

struct ApplyRefusal {
    std::string key;  // or a group's name ("switch registers")
    QString reason;
};

// The values of `file` that its window would not send (the module's own
// address only when `withAddress`), before any module is asked.
std::vector<ApplyRefusal> CheckFileValues(const SettingsSnapshot& file, bool withAddress);

// Why `keys` of `file` cannot be written to the module read as `module`
// (its firmware or windows lack the setting, the window would not send the
// value); empty when they can.
std::vector<ApplyRefusal> CheckApply(
    const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys);

// The steps that write `keys` (settings that CheckApply passed) with the
// file's values, in the order above.
std::vector<ApplyStep> PlanApply(
    const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys);

// The keys of the differences that the file can bring to the module: those
// the file holds, the module's own address only when `withAddress`.
std::vector<std::string> KeysToApply(
    const std::vector<SettingDifference>& differences, const SettingsSnapshot& file, bool withAddress);
