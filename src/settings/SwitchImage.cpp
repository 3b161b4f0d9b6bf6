#include "settings/SwitchImage.h"

namespace {

constexpr int kLedShift = 5;
constexpr int kThresholdShift = 5;
constexpr int kRatioShift = 2;
constexpr uint8_t kLowThreeBits = 0x07;
constexpr uint8_t kLowTwoBits = 0x03;
constexpr uint8_t kDiffServMask = 0x3F;
constexpr int kVlanIndexShift = 4;
constexpr uint8_t kTagModeMask = 0x03;
constexpr uint8_t kGroupIdHighFill = 0xF0;

bool ValidPort(int port) { return port >= 0 && port < SwitchMap::kPorts; }

}  // namespace

void CSwitchImage::SetBit(int r, int bit, bool on)
{
    const uint8_t mask = uint8_t(1u << bit);
    m_bytes[size_t(r)] = on ? uint8_t(m_bytes[size_t(r)] | mask) : uint8_t(m_bytes[size_t(r)] & ~mask);
}

GlobalFields CSwitchImage::Globals() const
{
    GlobalFields fields;
    for (size_t i = 0; i < kGlobalBits.size(); ++i)
        fields.flags[i] = Bit(kGlobalBits[i].reg, kGlobalBits[i].bit) ? 1 : 0;
    fields.ledMode = Register(1) >> kLedShift;
    fields.threshold = Register(3) >> kThresholdShift;
    fields.ratio = (Register(3) >> kRatioShift) & kLowTwoBits;
    fields.diffServB = Register(4) & kDiffServMask;
    fields.diffServA = Register(5) & kDiffServMask;
    return fields;
}

void CSwitchImage::StoreGlobals(const GlobalFields& fields)
{
    for (size_t i = 0; i < kGlobalBits.size(); ++i)
        SetBit(kGlobalBits[i].reg, kGlobalBits[i].bit, fields.flags[i] != 0);
    SetRegister(1, uint8_t((Register(1) & 0x1F) | ((uint32_t(fields.ledMode) & kLowThreeBits) << kLedShift)));
    SetRegister(3,
        uint8_t((Register(3) & 0x13) | ((fields.threshold & kLowThreeBits) << kThresholdShift)
            | ((uint32_t(fields.ratio) & kLowTwoBits) << kRatioShift)));
    SetRegister(4, uint8_t((Register(4) & 0xC0) | (fields.diffServB & kDiffServMask)));
    SetRegister(5, uint8_t((Register(5) & 0xC0) | (fields.diffServA & kDiffServMask)));
}

PortFields CSwitchImage::Port(int port) const
{
    PortFields fields;
    if (!ValidPort(port))
        return fields;
    const int base = kPortBase[size_t(port)];
    for (size_t i = 0; i < kPortBits.size(); ++i)
        fields.flags[i] = Bit(base + kPortBits[i].offset, kPortBits[i].bit) ? 1 : 0;
    // Rows of one control share its box: the box shows the last row's bit,
    // and a store writes that state into every row.
    for (size_t i = kPortBits.size(); i-- > 0;)
        for (size_t later = i + 1; later < kPortBits.size(); ++later)
            if (kPortBits[later].control == kPortBits[i].control)
                fields.flags[i] = fields.flags[later];
    fields.tagMode = ~Register(base + PortReg::kMode) & kTagModeMask;
    fields.vlanIndex = Register(base + PortReg::kVlanIndex) >> kVlanIndexShift;
    return fields;
}

void CSwitchImage::StorePort(int port, const PortFields& fields)
{
    if (!ValidPort(port))
        return;
    const int base = kPortBase[size_t(port)];
    for (size_t i = 0; i < kPortBits.size(); ++i)
        SetBit(base + kPortBits[i].offset, kPortBits[i].bit, fields.flags[i] != 0);
    // Tag handling is stored inverted: item 0 is 11, item 3 is 00, none is 00.
    const uint8_t mode = Register(base + PortReg::kMode) & uint8_t(~kTagModeMask);
    SetRegister(base + PortReg::kMode, uint8_t(mode | (~uint32_t(fields.tagMode) & kTagModeMask)));
    SetRegister(base + PortReg::kVlanIndex, uint8_t((uint32_t(fields.vlanIndex) & 0x0F) << kVlanIndexShift));
}

uint32_t CSwitchImage::GroupId(int group) const
{
    const int base = kPortBase[size_t(group)];
    return Register(base + PortReg::kGroupIdLow) | ((Register(base + PortReg::kGroupIdHigh) & 0x0Fu) << 8);
}

GroupFields CSwitchImage::Groups() const
{
    GroupFields fields;
    for (int g = 0; g < SwitchMap::kGroups; ++g) {
        fields.id[size_t(g)] = GroupId(g);
        for (int p = 0; p < SwitchMap::kPorts; ++p)
            fields.membership[size_t(g)][size_t(p)] = Bit(kPortBase[size_t(g)] + PortReg::kMembers, p) ? 1 : 0;
    }
    return fields;
}

void CSwitchImage::StoreGroups(const GroupFields& fields)
{
    for (int g = 0; g < SwitchMap::kGroups; ++g) {
        const int base = kPortBase[size_t(g)];
        const uint32_t id = fields.id[size_t(g)];
        SetRegister(base + PortReg::kGroupIdLow, uint8_t(id & 0xFF));
        SetRegister(base + PortReg::kGroupIdHigh, uint8_t(((id >> 8) | kGroupIdHighFill) & 0xFF));
        for (int p = 0; p < SwitchMap::kPorts; ++p)
            SetBit(base + PortReg::kMembers, p, fields.membership[size_t(g)][size_t(p)] != 0);
    }
}

uint32_t CSwitchImage::Address(int first) const
{
    const uint32_t a = Register(first + 1), b = Register(first), c = Register(first + 3), d = Register(first + 2);
    return (a << 24) | (b << 16) | (c << 8) | d;
}

void CSwitchImage::StoreAddress(int first, uint32_t address)
{
    SetRegister(first, uint8_t(address >> 16));  // b
    SetRegister(first + 1, uint8_t(address >> 24));  // a
    SetRegister(first + 2, uint8_t(address));  // d
    SetRegister(first + 3, uint8_t(address >> 8));  // c
}

std::vector<int> CSwitchImage::ChangedRegisters(const CSwitchImage& reference) const
{
    std::vector<int> changed;
    for (int r = 0; r < SwitchMap::kRegisters; ++r)
        if (Register(r) != reference.Register(r))
            changed.push_back(r);
    return changed;
}

bool CSwitchImage::IsPlausible() const
{
    for (uint8_t byte : m_bytes)
        if (byte != 0x00 && byte != 0xFF)
            return true;
    return false;
}
