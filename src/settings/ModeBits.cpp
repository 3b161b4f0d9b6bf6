#include "settings/ModeBits.h"

#include <algorithm>
#include <initializer_list>

#include "res/MainDlgIds.h"
#include "snmp/ModuleObjects.h"

const std::array<ModeBit, 16> kModeBits = {{
    {1, 0, IDC_MODE_SNMP_ACCESS, "SNMP access to IP settings"},
    {1, 1, IDC_MODE_SKIP_BROADCAST, "Skip broadcast packets"},
    {1, 2, IDC_MODE_VLAN_TAGGED, "VLAN tagged mode"},
    {1, 3, IDC_MODE_DROP_LARGE, "Drop large packets"},
    {1, 4, IDC_MODE_PING_RESTART, "Ping timeout restart"},
    {1, Oid::kSwitchControlBit, IDC_MODE_SWITCH_CONTROL, "Trellim control mode*"},
    {1, 6, IDC_MODE_SECONDARY_RST, "Secondary RST pin"},
    {1, 7, IDC_MODE_P6_ANALOG, "P6 Analog mode*"},
    {2, 0, IDC_MODE_SAVE_IO, "Save I/O states"},
    {2, 1, IDC_MODE_PING_LED, "Ping LED (P3.3)"},
    {2, 2, IDC_MODE_IO_RESET, "I/O reset at Ping Restart"},
    {2, 3, IDC_MODE_EXTRA_FIRST + 0, ""},
    {2, 4, IDC_MODE_EXTRA_FIRST + 1, ""},
    {2, 5, IDC_MODE_EXTRA_FIRST + 2, ""},
    {2, 6, IDC_MODE_EXTRA_FIRST + 3, ""},
    {2, 7, IDC_MODE_EXTRA_FIRST + 4, ""},
}};

const ModeBit* ModeBitOf(int control)
{
    for (const ModeBit& mode : kModeBits)
        if (mode.control == control)
            return &mode;
    return nullptr;
}

std::array<uint32_t, 2> BuildModeWordsFrom(const std::function<bool(int control)>& checked)
{
    std::array<uint32_t, 2> words {0, 0};
    for (const ModeBit& mode : kModeBits)
        if (checked(mode.control))
            words[mode.word - 1] |= 1u << mode.bit;
    return words;
}

bool ModeBitSet(const ModeBit& mode, uint32_t word1, uint32_t word2)
{
    const uint32_t word = (mode.word == 1 ? word1 : word2) & 0xFF;
    return (word >> mode.bit) & 1u;
}

std::vector<ModePass> ModeWritePasses(uint8_t minor, uint32_t word1, uint32_t word2)
{
    const auto has = [minor](std::initializer_list<int> minors) {
        return std::find(minors.begin(), minors.end(), minor) != minors.end();
    };
    const SnmpVarSpec first {Oid::kModeWord1, std::to_string(word1), 'i'};
    const SnmpVarSpec second {Oid::kModeWord2, std::to_string(word2), 'i'};
    if (has({40, 50, 61}))
        return {{{first}, 0}};
    if (has({60, 62, 65, 66}))
        return {{{first, second}, 0}};
    if (minor >= 70)
        return {{{first}, 0}, {{second}, kModePassPauseMs}};
    return {};
}
