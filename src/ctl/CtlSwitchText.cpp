#include "ctl/CtlSwitchText.h"

#include <cstdio>

#include "ctl/CtlOutput.h"
#include "settings/SwitchRegisterNames.h"

namespace {

std::string Hex(uint8_t value)
{
    char text[8];
    snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string WithNames(std::string line, int r)
{
    const std::vector<std::string> names = SwitchRegisterNames(r);
    for (size_t i = 0; i < names.size(); ++i)
        line += (i == 0 ? "  [" : "; ") + names[i];
    return names.empty() ? line : line + "]";
}

std::string JsonEntry(int r, const std::string& values)
{
    return "{\"register\": " + std::to_string(r) + ", " + values
        + ", \"settings\": " + JsonStrings(SwitchRegisterNames(r)) + "}";
}

}  // namespace

std::vector<std::string> DiffLines(const CSwitchImage& from, const CSwitchImage& to)
{
    std::vector<std::string> lines;
    for (int r : to.ChangedRegisters(from))
        lines.push_back(WithNames(
            "register " + std::to_string(r) + ": " + Hex(from.Register(r)) + " -> " + Hex(to.Register(r)), r));
    return lines;
}

std::string DiffJson(const CSwitchImage& from, const CSwitchImage& to)
{
    std::vector<std::string> entries;
    for (int r : to.ChangedRegisters(from))
        entries.push_back(JsonEntry(
            r, "\"from\": " + JsonString(Hex(from.Register(r))) + ", \"to\": " + JsonString(Hex(to.Register(r)))));
    return JsonArray(entries);
}

std::vector<std::string> ShowLines(const CSwitchImage& image)
{
    std::vector<std::string> lines;
    for (int r = 0; r < SwitchMap::kRegisters; ++r)
        lines.push_back(WithNames("register " + std::to_string(r) + ": " + Hex(image.Register(r)), r));
    return lines;
}

std::string ShowJson(const CSwitchImage& image)
{
    std::vector<std::string> entries;
    for (int r = 0; r < SwitchMap::kRegisters; ++r)
        entries.push_back(JsonEntry(r, "\"value\": " + JsonString(Hex(image.Register(r)))));
    return JsonArray(entries);
}
