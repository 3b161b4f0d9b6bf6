#include "CommandLine.h"

#include <cstring>

#include "snmp/ModuleAddress.h"

namespace {

// A whole number from `min` to `max`, digits only.
bool ParseNumber(const std::string& text, unsigned long min, unsigned long max, unsigned long& value)
{
    const bool digitsOnly
        = !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
    if (!digitsOnly)
        return false;
    value = std::stoul(text);
    return value >= min && value <= max;
}

bool ParsePort(const std::string& text, SimOptions& options, std::string& error)
{
    unsigned long port = 0;
    if (!ParseNumber(text, 0, 65535, port) || text.size() > 5) {
        error = "bad port " + text;
        return false;
    }
    options.port = static_cast<uint16_t>(port);
    return true;
}

constexpr uint32_t kLoopbackNetwork = 127;  // 127.0.0.0/8

// A loopback address in the canonical dotted form; `option` names it in the message.
bool ParseLoopback(const std::string& text, const char* option, uint32_t& address, std::string& error)
{
    const std::optional<uint32_t> parsed = ParseDottedIpv4(text);
    if (!parsed) {
        error = std::string(option) + ": \"" + text + "\" is no dotted address of four decimal numbers 0-255";
        return false;
    }
    if ((*parsed >> 24) != kLoopbackNetwork) {
        error = std::string(option) + ": the address " + text
            + " is not in 127.0.0.0/8; the simulator serves loopback addresses only";
        return false;
    }
    address = *parsed;
    return true;
}

bool ParseAddress(const std::string& text, SimOptions& options, std::string& error)
{
    uint32_t address = 0;
    if (!ParseLoopback(text, "--address", address, error))
        return false;
    options.address = DottedIpv4(address);
    options.addressGiven = true;
    return true;
}

bool TakeStatePath(const std::string& text, SimOptions& options, std::string&)
{
    options.statePath = text;
    return true;
}

bool TakeJournalPath(const std::string& text, SimOptions& options, std::string&)
{
    options.journalPath = text;
    return true;
}

bool ParseFleetSize(const std::string& text, SimOptions& options, std::string& error)
{
    unsigned long size = 0;
    if (!ParseNumber(text, 1, FleetOptions::kMaxSize, size)) {
        error = "--fleet: \"" + text + "\" is no number of modules from 1 to " + std::to_string(FleetOptions::kMaxSize);
        return false;
    }
    options.fleet.size = static_cast<unsigned>(size);
    return true;
}

bool ParseFleetBase(const std::string& text, SimOptions& options, std::string& error)
{
    return ParseLoopback(text, "--fleet-base", options.fleet.base, error);
}

bool TakeSilentList(const std::string& text, SimOptions& options, std::string&)
{
    options.fleet.silentLists.push_back(text);
    return true;
}

bool TakeSlowList(const std::string& text, SimOptions& options, std::string&)
{
    options.fleet.slowLists.push_back(text);
    return true;
}

struct OptionRow {
    const char* name;
    bool (*take)(const std::string& value, SimOptions& options, std::string& error);
    bool fleetOnly;  // needs --fleet
};

const OptionRow kOptions[] = {
    {"--port", ParsePort, false},
    {"--address", ParseAddress, false},
    {"--state", TakeStatePath, false},
    {"--journal", TakeJournalPath, false},
    {"--fleet", ParseFleetSize, false},
    {"--fleet-base", ParseFleetBase, true},
    {"--fleet-silent", TakeSilentList, true},
    {"--fleet-slow", TakeSlowList, true},
};

struct RequestRow {
    const char* name;
    SimOptions::Request request;
};

const RequestRow kRequests[] = {
    {"--help", SimOptions::Request::Help},
    {"-h", SimOptions::Request::Help},
    {"--version", SimOptions::Request::Version},
};

const OptionRow* FindOption(const std::string& name)
{
    for (const OptionRow& row : kOptions)
        if (name == row.name)
            return &row;
    return nullptr;
}

const RequestRow* FindRequest(const std::string& name)
{
    for (const RequestRow& row : kRequests)
        if (name == row.name)
            return &row;
    return nullptr;
}

bool CheckCombination(const SimOptions& options, std::string& error)
{
    if (options.fleet.size == 0 && !options.firstFleetOption.empty()) {
        error = options.firstFleetOption + " needs --fleet N";
        return false;
    }
    if (options.fleet.size > 0 && options.addressGiven) {
        error = "--address does not go with --fleet; give the fleet's first address with --fleet-base";
        return false;
    }
    return true;
}

}  // namespace

const char* UsageText()
{
    return "usage: kalvor-sim [--port N] [--state FILE] [--journal FILE] [--address 127.x.y.z]\n"
           "                  [--fleet N [--fleet-base 127.x.y.z] [--fleet-silent LIST] [--fleet-slow LIST:MS]]\n";
}

const char* HelpText()
{
    return "Simulated IP module answering SNMPv1 on loopback addresses.\n"
           "\n"
           "  --port N             UDP port; 0 lets the system choose (default 16161)\n"
           "  --address A          loopback address to listen on (default 127.0.0.1)\n"
           "  --state FILE         JSON state file (default: all defaults)\n"
           "  --journal FILE       append every request received to FILE, one JSON object a line\n"
           "  --fleet N            serve N modules (1 to 4096) on consecutive addresses, one port\n"
           "  --fleet-base A       the fleet's first address (default 127.1.0.1)\n"
           "  --fleet-silent LIST  fleet modules that never answer\n"
           "  --fleet-slow LIST:MS fleet modules that answer MS milliseconds late\n"
           "  -h, --help           this text\n"
           "  --version            the version\n"
           "\n"
           "Addresses are four decimal numbers (leading zeros allowed: 127.0.0.010 is\n"
           "127.0.0.10) in 127.0.0.0/8. A LIST holds addresses and first-last ranges,\n"
           "separated by commas: 127.1.0.3,127.1.0.10-127.1.0.12. The two --fleet-...\n"
           "list options may be given more than once.\n";
}

bool ParseCommandLine(int argc, const char* const argv[], SimOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        if (const RequestRow* request = FindRequest(argv[i])) {
            options.request = request->request;
            return true;
        }
        const OptionRow* option = FindOption(argv[i]);
        if (!option) {
            error = std::string("unknown option ") + argv[i];
            return false;
        }
        if (i + 1 >= argc) {
            error = std::string("missing value after ") + argv[i];
            return false;
        }
        if (option->fleetOnly && options.firstFleetOption.empty())
            options.firstFleetOption = option->name;
        if (!option->take(argv[++i], options, error))
            return false;
    }
    return CheckCombination(options, error);
}
