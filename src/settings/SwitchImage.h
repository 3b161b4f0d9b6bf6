#pragma once
// The switch board's 128-register configuration image and its fields: the
// bits and bit fields that the switch settings window shows, the group IDs
// and the packed priority addresses. Free of widgets, so it can be used and
// tested without a window.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "settings/SwitchTables.h"

// The global settings of registers 0..7 as the window shows them.
struct GlobalFields {
    std::array<int, SwitchMap::kGlobalFlags> flags {};  // kGlobalBits order, 0 or 1
    int ledMode = 0;  // 0..7
    uint32_t threshold = 0;  // 802.1p priority threshold, 0..7
    int ratio = 0;  // queue ratio item, 0..3
    uint32_t diffServB = 0;  // 0..63
    uint32_t diffServA = 0;  // 0..63
};

// One port page.
struct PortFields {
    std::array<int, SwitchMap::kPortFlags> flags {};  // kPortBits order, 0 or 1
    int tagMode = -1;  // checked radio 0..3, -1 none
    int vlanIndex = 0;  // 0..15 ("A" .. "P")
};

// The eight VLAN groups.
struct GroupFields {
    std::array<std::array<int, SwitchMap::kPorts>, SwitchMap::kGroups> membership {};  // [group][port]
    std::array<uint32_t, SwitchMap::kGroups> id {};  // 0..4095
};

class CSwitchImage {
public:
    using Bytes = std::array<uint8_t, SwitchMap::kRegisters>;

    CSwitchImage() { m_bytes.fill(0); }
    explicit CSwitchImage(const Bytes& bytes) : m_bytes(bytes) { }
    static CSwitchImage Defaults() { return CSwitchImage(kDefaultImage); }

    const Bytes& bytes() const { return m_bytes; }
    uint8_t Register(int r) const { return m_bytes[size_t(r)]; }
    void SetRegister(int r, uint8_t value) { m_bytes[size_t(r)] = value; }
    bool Bit(int r, int bit) const { return (m_bytes[size_t(r)] >> bit) & 1; }
    void SetBit(int r, int bit, bool on);

    bool operator==(const CSwitchImage& other) const { return m_bytes == other.m_bytes; }
    bool operator!=(const CSwitchImage& other) const { return !(*this == other); }

    // Load (image to fields) and store (fields to image). A store changes only
    // the bits its fields own, with two whole-byte exceptions: the port's
    // VLAN index register (bits 3..0 become 0) and the group ID high register
    // (bits 7..4 become 1111). Values wider than their field keep only the
    // field's low bits.
    GlobalFields Globals() const;
    void StoreGlobals(const GlobalFields& fields);
    // Ports above 7 (or below 0): a default page, and a store does nothing.
    PortFields Port(int port) const;
    void StorePort(int port, const PortFields& fields);
    GroupFields Groups() const;
    void StoreGroups(const GroupFields& fields);
    uint32_t GroupId(int group) const;

    // A priority address starting at register `first`, packed with its first
    // octet in the most significant byte.
    uint32_t Address(int first) const;
    void StoreAddress(int first, uint32_t address);

    // Registers in which this image differs from `reference`, ascending.
    std::vector<int> ChangedRegisters(const CSwitchImage& reference) const;
    // A link to the switch board that is missing or broken reads every
    // register as 0x00 or 0xFF.
    bool IsPlausible() const;

private:
    Bytes m_bytes;
};
