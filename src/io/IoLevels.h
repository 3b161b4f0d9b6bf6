#pragma once
// The firmware levels of the I/O ports window: which objects a refresh reads,
// how their results map to the ports and analog channels, and which P3/P5
// check boxes the operator may change.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "snmp/FirmwareVersion.h"

// P3 and P5 check boxes that are enabled: bit k set = box of bit k usable.
struct BoxMasks {
    uint8_t p3;
    uint8_t p5;
};

// One data set of a refresh. The first three objects are ports P3, P5 and P6;
// each further object is the raw count of analog channel channels[i] + 1,
// scaled to volts by `scale`.
struct IoDataSet {
    const char* name;
    std::vector<std::string> objects;
    std::vector<int> channels;  // index into the eight channels, per analog object
    double scale;
    bool digitalOnly;  // no analog inputs: every channel shows 0
};

inline constexpr int kPortObjects = 3;

// One row of the level table: the first row whose condition holds decides.
struct IoLevel {
    const char* name;
    const IoDataSet* dataSet;  // nullptr: the refresh reads nothing beyond the version
    std::optional<BoxMasks> boxes;  // none: the check boxes keep their state
};

const IoLevel& IoLevelFor(FirmwareVersion version);
