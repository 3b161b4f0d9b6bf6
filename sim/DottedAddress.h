#pragma once
// IPv4 addresses as the simulator reads them from its options: four parts,
// each a decimal number from 0 to 255. Leading zeros are allowed and never
// mean octal ("127.0.0.010" is 127.0.0.10), so that the address served is the
// one the text shows; the canonical dotted form is what the simulator prints.

#include <cstdint>
#include <optional>
#include <string>

namespace DottedAddress {

// The address in host byte order; nothing for any other text (blanks, signs,
// hexadecimal, fewer or more parts, a part above 255).
std::optional<uint32_t> Parse(const std::string& text);
std::string Format(uint32_t address);
bool IsLoopback(uint32_t address);

}  // namespace DottedAddress
