#pragma once
// How kalvorctl shows switch registers: the differences between two images
// and one image's registers, each with the names of the settings it holds,
// as text lines or JSON.

#include <string>
#include <vector>

#include "settings/SwitchImage.h"

// One line per register that differs, ascending: "register R: 0xMM -> 0xNN"
// (`from`'s value, then `to`'s) and the settings' names in brackets.
std::vector<std::string> DiffLines(const CSwitchImage& from, const CSwitchImage& to);
// The same as a JSON array of {"register", "from", "to", "settings"}.
std::string DiffJson(const CSwitchImage& from, const CSwitchImage& to);
// Every register: "register R: 0xVV" and the settings' names.
std::vector<std::string> ShowLines(const CSwitchImage& image);
// The same as a JSON array of {"register", "value", "settings"}.
std::string ShowJson(const CSwitchImage& image);
