#pragma once
// The switch's MAC address table behind the access words .1.4.3.240.0 to
// .1.4.3.244.0. Writing 65535 to the start word runs one operation on the
// words written since the last one:
//   - MAC words .243/.244 written: a search for the address held by the
//     three MAC words (.244 = m2·256 + m1, .243 = m4·256 + m3,
//     .242 = m6·256 + m5);
//   - otherwise: a lookup of the table index in .242, written as
//     (i >> 2)·256 + (i AND 3).
// A hit sets the status word .241 to the entry's status and the MAC words to
// its address; a miss sets the status word to 0x0F.

#include <nlohmann/json.hpp>

class ModuleState;

// `entries`: the state file's "macTable" array (may be empty). Each entry is
// {"index": 0..1023, "mac": "00-1A-2B-3C-4D-5E", "port": 0..7, "age": 0..3,
// "status": raw status word}; "port" defaults to 0, "age" to 1, and "status"
// to age·16 + port. Throws std::runtime_error naming the bad entry.
void InstallMacTable(const nlohmann::json& entries, ModuleState& state);
