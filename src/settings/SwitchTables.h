#pragma once
// The switch board's register map: which register bit each check box of the
// switch settings window shows, where each port keeps its registers, the
// factory image, and the port status bits. The window, its field exchange and
// the tests all walk these tables; nothing here knows about widgets.

#include <array>
#include <cstddef>
#include <cstdint>

#include "settings/SwitchDefaultImage.h"

namespace SwitchMap {
inline constexpr int kRegisters = 128;
inline constexpr int kPorts = 8;
inline constexpr int kGroups = 8;  // VLAN groups A..H
inline constexpr int kGlobalFlags = 19;
inline constexpr int kPortFlags = 12;
inline constexpr int kVlanLetters = 16;  // VLAN index items "A" .. "P"
inline constexpr uint32_t kMaxGroupId = 4095;
}  // namespace SwitchMap

// One global check box: its control, the bit it shows and its caption (as
// the window's template has it).
struct GlobalBit {
    int control;
    int reg;
    int bit;
    const char* caption;
};

// One port page check box: its control and the bit it shows in the port's
// register block (offset from the port's base register).
struct PortBit {
    int control;
    int offset;
    int bit;
    const char* caption;
};

extern const std::array<GlobalBit, SwitchMap::kGlobalFlags> kGlobalBits;
extern const std::array<PortBit, SwitchMap::kPortFlags> kPortBits;
// First register of each port's block of 8; group g keeps its membership and
// ID in the block of port g.
extern const std::array<int, SwitchMap::kPorts> kPortBase;

// Offsets inside a port block.
namespace PortReg {
inline constexpr int kMode = 0;  // bits 5, 4, 2 flags; bits 1..0 tag handling (inverted)
inline constexpr int kVlanFlags = 1;
inline constexpr int kEnable = 3;
inline constexpr int kMembers = 4;  // of the group with the port's number
inline constexpr int kVlanIndex = 5;  // bits 7..4
inline constexpr int kGroupIdLow = 6;
inline constexpr int kGroupIdHigh = 7;  // bits 3..0; stored with bits 7..4 set
}  // namespace PortReg

// A priority address: its control and its first register. a.b.c.d is held
// as registers n = b, n+1 = a, n+2 = d, n+3 = c.
struct AddressSlot {
    int control;
    int first;
};
extern const std::array<AddressSlot, 4> kPriorityAddresses;  // IP[A], IP[B], MASK[A], MASK[B]

// Port status: flag k of a port is bit `bit` of the port's word `word`
// (word 0 = register 0, 1 = register 1, 2 = register 23).
struct StatusBit {
    int word;
    int bit;
};
inline constexpr int kStatusFlags = 6;  // Link, Speed 100Mb, Full Duplex, RX, TX, Loop
extern const std::array<StatusBit, kStatusFlags> kStatusBits;
// The per-port registers read for each port, in reading order.
inline constexpr int kStatusRegisters[3] = {0, 1, 23};
