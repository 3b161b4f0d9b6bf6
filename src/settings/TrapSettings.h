#pragma once
// The trap settings window's objects: the read of the trap server, the trap
// community and the sixteen alarm thresholds, and the write of what changed
// since that read, in the window's order.

#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "res/TrapDlgIds.h"
#include "snmp/SnmpRequest.h"

struct TrapValues {
    std::array<int32_t, kTrapChannels> low {};  // channels 1 .. 8
    std::array<int32_t, kTrapChannels> high {};
    QString server;  // dotted text
    QString community;  // Latin-1, at most 12 characters
};

namespace TrapSettings {

// The module keeps its thresholds as 16-bit quantities.
inline constexpr int32_t kThresholdMax = 0xFFFF;

// The 18 objects of a read: the lows and highs of channels 1 to 8 in object
// order (1 to 16), the server, the community.
const std::vector<std::string>& ReadObjects();
// The result slot of the server (an IpAddress word).
inline constexpr uint32_t kServerSlot = 2 * kTrapChannels;
TrapValues FromReads(const CSnmpRequest& request);

// The writes that bring the module from `read` to `wanted`, only what
// differs: the lows of channels 1 to 8, their highs, the server (type a),
// the community (type s). Texts are sent as Latin-1.
std::vector<SnmpVarSpec> Changes(const TrapValues& read, const TrapValues& wanted);

// Threshold object n (1..16): odd n the low, even n the high threshold of
// channel (n + 1) / 2.
std::string LowObject(int channel);  // channel 0..7
std::string HighObject(int channel);

}  // namespace TrapSettings

// The trap community as the window shows it, from the module's printed
// value: a quoted string, or the bytes of a hexadecimal dump taken as
// Latin-1 text; at most 12 characters.
QString TrapCommunityFromPrinted(const char* printed);
