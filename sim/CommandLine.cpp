#include "CommandLine.h"

#include <arpa/inet.h>

namespace {

bool ParsePort(const std::string& text, SimOptions& options, std::string& error)
{
    const bool digitsOnly
        = !text.empty() && text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos;
    if (!digitsOnly || std::stoul(text) > 65535) {
        error = "bad port " + text;
        return false;
    }
    options.port = static_cast<uint16_t>(std::stoul(text));
    return true;
}

bool ParseAddress(const std::string& text, SimOptions& options, std::string& error)
{
    in_addr address {};
    const bool loopback = inet_pton(AF_INET, text.c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
    if (!loopback) {
        error = "the address " + text + " is not in 127.0.0.0/8; the simulator serves loopback addresses only";
        return false;
    }
    options.address = text;
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

struct OptionRow {
    const char* name;
    bool (*take)(const std::string& value, SimOptions& options, std::string& error);
};

const OptionRow kOptions[] = {
    {"--port", ParsePort},
    {"--address", ParseAddress},
    {"--state", TakeStatePath},
    {"--journal", TakeJournalPath},
};

const OptionRow* FindOption(const std::string& name)
{
    for (const OptionRow& row : kOptions)
        if (name == row.name)
            return &row;
    return nullptr;
}

}  // namespace

const char* UsageText()
{
    return "usage: kalvor-sim [--port N] [--state FILE] [--journal FILE] [--address 127.x.y.z]\n";
}

bool ParseCommandLine(int argc, const char* const argv[], SimOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const OptionRow* option = FindOption(argv[i]);
        if (!option) {
            error = std::string("unknown option ") + argv[i];
            return false;
        }
        if (i + 1 >= argc) {
            error = std::string("missing value after ") + argv[i];
            return false;
        }
        if (!option->take(argv[++i], options, error))
            return false;
    }
    return true;
}
