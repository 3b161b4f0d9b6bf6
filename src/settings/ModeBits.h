#pragma once
// The sixteen operating-mode check boxes and the bits of the two mode words
// they stand for. "Read Settings" and "Set Modes" both use this one table.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "snmp/SnmpRequest.h"

struct ModeBit {
    int word;  // 1 or 2
    int bit;  // 0..7
    int control;  // check box id
    const char* caption;  // as the window's template has it
};

extern const std::array<ModeBit, 16> kModeBits;

// The mode box of `control` (nullptr: none).
const ModeBit* ModeBitOf(int control);

// Words built from the boxes (`checked` tells whether a box is checked).
std::array<uint32_t, 2> BuildModeWordsFrom(const std::function<bool(int control)>& checked);
// Whether the box of `bit` is checked in the words (only the low 8 bits count).
bool ModeBitSet(const ModeBit& bit, uint32_t word1, uint32_t word2);

// How "Set Modes" writes the words, by the firmware's minor alone: one pass
// per batch, the second of two passes after a pause.
struct ModePass {
    std::vector<SnmpVarSpec> writes;
    unsigned pauseBeforeMs = 0;
};
inline constexpr unsigned kModePassPauseMs = 4000;
// Word 1 alone (minors 40, 50, 61); both words in one batch (60, 62, 65, 66);
// word 1, a pause and word 2 (70 and above); nothing for any other minor.
std::vector<ModePass> ModeWritePasses(uint8_t minor, uint32_t word1, uint32_t word2);
