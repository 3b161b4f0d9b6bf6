#pragma once
// Every setting of a module that the windows read and can write, by name:
// the main window's fields and operating modes, the serial port's line
// settings, the trap server and thresholds, and the switch board's 128
// registers. Which of them a module has follows its firmware and its first
// mode word (switch board, RS-232). Labels are the windows' own. The
// community strings are never among them.

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "snmp/FirmwareVersion.h"

enum class SettingGroup {
    Info,  // firmware, MAC address: as read, never written
    Main,  // "IP Core Settings"
    Modes,  // "Operating Modes"
    Serial,  // the RS-232 window's port settings
    Traps,  // the trap settings window
    Switch,  // the switch board's registers
};

// What a module offers, from its firmware and what "Read Settings" found.
struct ModuleShape {
    FirmwareVersion version;
    bool modeWords = false;  // the firmware's read holds the mode words
    bool switchBoard = false;  // the switch windows are usable
    bool serialPort = false;  // the RS-232 window is usable
    bool traps = false;  // the trap window is usable
};
// Whether "Read Settings" of this firmware reads the mode words.
bool ReadsModeWords(const FirmwareVersion& version);
// `modeWord1` counts only when the mode words were read.
ModuleShape ShapeOf(const FirmwareVersion& version, bool modeWords, uint32_t modeWord1);

struct SettingSpec {
    std::string key;  // "vlan_tag", "mode2.bit3", "trap.ch1.low", "switch.reg013"
    QString label;  // as the window labels it
    SettingGroup group;
    // Main: the field's control; Modes: 8 (word - 1) + bit; Serial: 0 baud
    // rate, 1 parity, 2 receive time-out; Traps: 0 server, n the threshold
    // object n (1..16); Switch: the register; Info: 0 firmware, 1 MAC.
    int index;
};

// The settings a module of `shape` has, in file order.
std::vector<SettingSpec> SettingsOf(const ModuleShape& shape);
// Whether `a` comes before `b` in file order (any two keys of any shape).
bool SettingBefore(const SettingSpec& a, const SettingSpec& b);

// The canonical text of a setting's value written as `text` (an address as
// four decimal parts, a MAC as six upper-case hexadecimal bytes, a flag as
// "on" or "off", a register as "0x" and two upper-case digits, a list item
// as its text or "none"), or false with `error` saying what it is not. Any
// number, address or list item passes here; whether the window would send
// it is WriteRefusal's.
bool CanonicalValue(const SettingSpec& spec, const QString& text, QString& canonical, QString& error);
// Why the window would not send `value` (canonical) for this setting, or an
// empty text when it would.
QString WriteRefusal(const SettingSpec& spec, const QString& value);

// Keys of the mode bits, of the switch registers and of the thresholds.
std::string ModeKey(int word, int bit);
std::string RegisterKey(int r);
std::string ThresholdKey(int n);
