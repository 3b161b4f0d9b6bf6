#include "snmp/ModuleAddress.h"

namespace {

constexpr int kParts = 4;
constexpr uint32_t kPartMax = 255;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Why an address names no single module, or nullptr.
const char* NotAModule(uint32_t value)
{
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

std::optional<uint32_t> ParseDottedIpv4(const std::string& text)
{
    uint32_t address = 0;
    size_t at = 0;
    for (int part = 0; part < kParts; ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.'))
            return std::nullopt;
        const size_t first = at;
        uint32_t value = 0;
        for (; at < text.size() && IsDigit(text[at]); ++at) {
            value = value * 10 + static_cast<uint32_t>(text[at] - '0');
            if (value > kPartMax)
                return std::nullopt;
        }
        if (at == first)
            return std::nullopt;
        address = (address << 8) | value;
    }
    if (at != text.size())
        return std::nullopt;
    return address;
}

std::string DottedIpv4(uint32_t address)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += (text.empty() ? "" : ".") + std::to_string((address >> shift) & 0xFF);
    return text;
}

ModuleAddressParse ParseModuleAddress(const std::string& text)
{
    ModuleAddressParse parse;
    const std::optional<uint32_t> value = ParseDottedIpv4(text);
    if (!value) {
        parse.error = "not a dotted IPv4 address (four decimal numbers from 0 to 255): " + text;
        return parse;
    }
    if (const char* reason = NotAModule(*value)) {
        parse.error = std::string(reason) + ": " + text;
        return parse;
    }
    parse.value = *value;
    parse.address = DottedIpv4(*value);
    return parse;
}
