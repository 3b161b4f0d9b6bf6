#pragma once
// What the main window reads and how it lays itself out, by firmware version.

#include <vector>

#include "snmp/FirmwareVersion.h"

// The objects that "Read Settings" reads after the version, in slot order.
enum class ReadBatch {
    Seven,  // address, MAC, VLAN, MAC locks, ping restart, mode word 1
    Eight,  // ... and mode word 2
    Ten,  // ... and ping restarts count, restart pulse width
    Fourteen,  // ... and network mask, gateway, TFTP server, monitor address
    Access,  // access filter address and mask
};

struct ReadPlan {
    std::vector<ReadBatch> batches;  // run in this order
    bool copyRoToRw = false;  // R/W community := R/O community first
};

ReadPlan PlanRead(const FirmwareVersion& version);

// How a settings object's result slot lands in the window.
enum class SettingDecode {
    IpAddress,  // IpAddress word into an IP address control
    MacText,  // printed octet string, hex bytes cut by position
    Integer,  // integer as is
    CountPlusOne,  // the module holds count minus one
    ModeWord1,
    ModeWord2,
};

struct SettingsObject {
    const char* oid;
    SettingDecode decode;
    int control;  // the control (and so the member) it fills
};

// Settings objects of a batch, in slot order.
std::vector<SettingsObject> BatchObjects(ReadBatch batch);
// The settings object that fills `control` (nullptr: none).
const char* SettingOidFor(int control);

// One change of one control's caption and/or state.
enum class ControlState { Keep, Enable, Disable, ReadOnly, Editable, ClearAndDisable };
struct ControlChange {
    int id;
    const char* caption;  // nullptr: caption unchanged
    ControlState state;
};

struct Layout {
    std::vector<ControlChange> changes;  // applied in order
    const char* pulseWidthLabel;  // label 1082
    bool rs232Possible;  // RS-232 button follows bit 7 of mode word 1
};

// Layout steps for an accepted version (the switch buttons follow separately).
Layout LayoutFor(const FirmwareVersion& version);

// A mode box as a window that has only read `version` shows it: the
// template's caption and state, then the layout's changes.
struct ControlLook {
    const char* caption;
    bool enabled;
};
ControlLook ModeBoxAt(const FirmwareVersion& version, int control);

// The switch buttons are usable with switch control on, except on minor 75 and 79.
bool SwitchButtonsUsable(const FirmwareVersion& version, bool switchControl);

// The buttons that open windows and depend on the firmware ("I/O ports" is
// always usable).
struct WindowButtons {
    bool switchWindows = false;  // 1028, 1030, 1283
    bool rs232 = false;  // 1113
    bool traps = false;  // 1100
};
// After a read of `version` whose switch-control and RS-232 mode bits were
// read as given.
WindowButtons WindowButtonsFor(const FirmwareVersion& version, bool switchControl, bool rs232Bit);
