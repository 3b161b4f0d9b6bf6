#include "snmp/ModuleAddress.h"

#include <array>
#include <cstdint>

namespace {

using Parts = std::array<uint32_t, 4>;

// One part of `text` from `at` up to the next dot or the end: digits only,
// at most 255. `at` moves past the part.
bool ReadPart(const std::string& text, size_t& at, uint32_t& value)
{
    const size_t start = at;
    value = 0;
    for (; at < text.size() && text[at] != '.'; ++at) {
        const char c = text[at];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + uint32_t(c - '0');
        if (value > 255)
            return false;
    }
    return at > start;
}

bool ReadParts(const std::string& text, Parts& parts)
{
    size_t at = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            if (at >= text.size() || text[at] != '.')
                return false;
            ++at;
        }
        if (!ReadPart(text, at, parts[i]))
            return false;
    }
    return at == text.size();
}

// Why an address names no single module, or nullptr.
const char* NotAModule(const Parts& parts)
{
    const uint32_t value = parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3];
    struct Range {
        uint32_t network, mask;
        const char* reason;
    };
    static const Range kRefused[] = {
        {0x00000000u, 0xFFFFFFFFu, "the unspecified address is not a module address"},
        {0xFFFFFFFFu, 0xFFFFFFFFu, "the broadcast address is not a module address"},
        {0xE0000000u, 0xF0000000u, "a multicast address is not a module address"},
    };
    for (const Range& range : kRefused)
        if ((value & range.mask) == range.network)
            return range.reason;
    return nullptr;
}

}  // namespace

ModuleAddressParse ParseModuleAddress(const std::string& text)
{
    ModuleAddressParse parse;
    Parts parts {};
    if (!ReadParts(text, parts)) {
        parse.error = "not a dotted IPv4 address (four decimal numbers from 0 to 255): " + text;
        return parse;
    }
    if (const char* reason = NotAModule(parts)) {
        parse.error = std::string(reason) + ": " + text;
        return parse;
    }
    parse.address = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "."
        + std::to_string(parts[3]);
    return parse;
}
