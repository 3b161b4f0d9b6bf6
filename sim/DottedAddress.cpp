#include "DottedAddress.h"

namespace {

constexpr int kParts = 4;
constexpr uint32_t kPartMax = 255;
constexpr uint32_t kLoopbackNetwork = 127;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

namespace DottedAddress {

std::optional<uint32_t> Parse(const std::string& text)
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

std::string Format(uint32_t address)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += (text.empty() ? "" : ".") + std::to_string((address >> shift) & 0xFF);
    return text;
}

bool IsLoopback(uint32_t address) { return (address >> 24) == kLoopbackNetwork; }

}  // namespace DottedAddress
