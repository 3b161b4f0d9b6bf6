#pragma once
// Object identifiers as the simulator keeps them: numeric dotted text with a
// leading dot, always the full identifier.

#include <string>
#include <vector>

namespace SimOid {

inline constexpr const char* kEnterprise = ".1.3.6.1.4.1.19865";

// A key that does not start with ".1.3.6.1." is taken as relative to the
// enterprise prefix: ".1.1.3.0" -> ".1.3.6.1.4.1.19865.1.1.3.0".
std::string Full(const std::string& key);

// The sub-identifiers of a full OID text; empty when the text is no OID.
std::vector<unsigned long> Parse(const std::string& text);
std::string Format(const unsigned long* ids, size_t count);

}  // namespace SimOid
