#pragma once
// Decoding the switch ports' PHY registers 0, 1 and 23 into the port status
// indicators; free of widgets.

#include <array>
#include <cstdint>

#include "settings/SwitchTables.h"

class CSnmpRequest;

namespace PortStatus {

inline constexpr int kWordsPerPort = 3;  // registers 0, 1, 23
inline constexpr int kWords = SwitchMap::kPorts * kWordsPerPort;

struct PortState {
    std::array<int, kStatusFlags> flags {};  // kStatusBits order, 0 or 1
    uint8_t quality = 0;  // 0..15
};

// Adds the 24 reads: registers 0, 1 and 23 of port 0, then of port 1, ...
void AddStatusReads(CSnmpRequest& request);
// Word i of a read that succeeded: the low 16 bits of result i.
uint16_t WordOf(const CSnmpRequest& request, int i);
// The state of port p from its three words (words[3p], words[3p+1], words[3p+2]).
PortState Decode(const std::array<uint16_t, kWords>& words, int port);
// True when every word is 0x0000 or 0xFFFF, as a switch that does not answer
// behind the module gives.
bool LooksDisconnected(const std::array<uint16_t, kWords>& words);

}  // namespace PortStatus
