#pragma once
#include <QString>
#include <cstdint>

// Firmware version word of the module: major in bits 8..15, minor in 0..7.
struct FirmwareVersion {
    uint8_t major = 0;
    uint8_t minor = 0;

    static FirmwareVersion FromWord(int32_t word);
    bool IsKnown() const { return major != 0 || minor != 0; }
    // major * 256 + minor, ordered as an unsigned 16-bit number (4.070 = 1094).
    uint16_t Number() const { return static_cast<uint16_t>(major * 256u + minor); }
    // "%d.%03d", e.g. "4.066".
    QString Text() const;
    // Refused below major 4 or below minor 40 (minor 40 passes).
    bool IsAccepted() const { return major >= 4 && minor >= 40; }
    // Major 4 with a minor above 79.
    bool IsNewerThanSupported() const { return major == 4 && minor > 79; }
};

// The switch board is usable with switch control on (the mode word bit
// Oid::kSwitchControlBit), except on minor 75 and 79.
bool SwitchBoardUsable(const FirmwareVersion& version, bool switchControl);

constexpr uint16_t VersionNumber(int major, int minor) { return static_cast<uint16_t>(major * 256 + minor); }

inline constexpr const char* kOidPrefix = ".1.3.6.1.4.1.19865";
