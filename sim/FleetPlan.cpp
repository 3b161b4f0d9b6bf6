#include "FleetPlan.h"

#include <functional>

#include "snmp/ModuleAddress.h"

namespace {

constexpr uint32_t kLastLoopbackHost = 0x7FFFFFFE;  // 127.255.255.254
constexpr uint32_t kLoopbackNetwork = 0x7F000000;  // 127.0.0.0
constexpr unsigned long kMaxDelayMs = 60000;

struct Range {
    uint32_t first = 0;
    uint32_t last = 0;
};

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end = text.find(separator); end != std::string::npos; end = text.find(separator, start)) {
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

// "A" or "A-B", both ends in the fleet.
bool ParseItem(const std::string& item, const Range& fleet, Range& range)
{
    const std::vector<std::string> ends = Split(item, '-');
    if (ends.size() > 2)
        return false;
    const std::optional<uint32_t> first = ParseDottedIpv4(ends.front());
    const std::optional<uint32_t> last = ParseDottedIpv4(ends.back());
    if (!first || !last || *first > *last || *first < fleet.first || *last > fleet.last)
        return false;
    range = {*first, *last};
    return true;
}

std::string FleetText(const Range& fleet)
{
    return DottedIpv4(fleet.first) + "-" + DottedIpv4(fleet.last);
}

// Calls `mark` for every member of every item of `list`.
bool MarkList(const std::string& option, const std::string& list, const Range& fleet,
    std::vector<FleetMember>& members, const std::function<void(FleetMember&)>& mark, std::string& error)
{
    for (const std::string& item : Split(list, ',')) {
        Range range;
        if (!ParseItem(item, fleet, range)) {
            error = option + ": \"" + item + "\" is no address or first-last range of the fleet " + FleetText(fleet);
            return false;
        }
        for (uint32_t address = range.first; address <= range.last; ++address)
            mark(members[address - fleet.first]);
    }
    return true;
}

bool MarkSlow(const std::string& value, const Range& fleet, std::vector<FleetMember>& members, std::string& error)
{
    const size_t colon = value.rfind(':');
    const std::string delay = colon == std::string::npos ? std::string() : value.substr(colon + 1);
    const bool digitsOnly
        = !delay.empty() && delay.size() <= 5 && delay.find_first_not_of("0123456789") == std::string::npos;
    const unsigned long delayMs = digitsOnly ? std::stoul(delay) : 0;
    if (delayMs < 1 || delayMs > kMaxDelayMs) {
        error = "--fleet-slow: \"" + value + "\" does not end in :MS, a delay from 1 to "
            + std::to_string(kMaxDelayMs) + " milliseconds";
        return false;
    }
    return MarkList("--fleet-slow", value.substr(0, colon), fleet, members,
        [delayMs](FleetMember& member) { member.delayMs = static_cast<int>(delayMs); }, error);
}

}  // namespace

bool PlanFleet(const SimOptions& options, std::vector<FleetMember>& members, std::string& error)
{
    members.clear();
    const FleetOptions& fleetOptions = options.fleet;
    if (fleetOptions.size == 0) {
        members.push_back(FleetMember {*ParseDottedIpv4(options.address)});
        return true;
    }
    const Range fleet {fleetOptions.base, fleetOptions.base + fleetOptions.size - 1};
    if (fleet.first == kLoopbackNetwork || fleet.last > kLastLoopbackHost) {
        error = "--fleet-base: a fleet of " + std::to_string(fleetOptions.size) + " from "
            + DottedIpv4(fleet.first) + " leaves 127.0.0.1-127.255.255.254";
        return false;
    }
    for (unsigned index = 0; index < fleetOptions.size; ++index)
        members.push_back(FleetMember {fleet.first + index, static_cast<int>(index)});
    for (const std::string& list : fleetOptions.silentLists)
        if (!MarkList("--fleet-silent", list, fleet, members, [](FleetMember& member) { member.silent = true; },
                error))
            return false;
    for (const std::string& value : fleetOptions.slowLists)
        if (!MarkSlow(value, fleet, members, error))
            return false;
    return true;
}
