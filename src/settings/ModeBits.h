#pragma once
// The sixteen operating-mode check boxes and the bits of the two mode words
// they stand for. "Read Settings" and "Set Modes" both use this one table.

#include <array>
#include <cstdint>
#include <functional>

struct ModeBit {
    int word;  // 1 or 2
    int bit;  // 0..7
    int control;  // check box id
};

extern const std::array<ModeBit, 16> kModeBits;

// Words built from the boxes (`checked` tells whether a box is checked).
std::array<uint32_t, 2> BuildModeWordsFrom(const std::function<bool(int control)>& checked);
// Whether the box of `bit` is checked in the words (only the low 8 bits count).
bool ModeBitSet(const ModeBit& bit, uint32_t word1, uint32_t word2);
