#include "CommandLine.h"

#include <arpa/inet.h>

#include <functional>
#include <map>

namespace {

bool ParsePort(const std::string& text, uint16_t& port)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long value = std::stoul(text);
    if (value > 65535)
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

bool IsLoopback(const std::string& text)
{
    in_addr address{};
    return inet_pton(AF_INET, text.c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
}

}  // namespace

const char* UsageText()
{
    return "usage: kalvor-sim [--port N] [--state FILE] [--journal FILE] [--address 127.x.y.z]\n";
}

bool ParseCommandLine(int argc, const char* const argv[], SimOptions& options, std::string& error)
{
    using Setter = std::function<bool(const std::string&)>;
    const std::map<std::string, Setter> setters = {
        {"--port", [&](const std::string& v) { return ParsePort(v, options.port) || (error = "bad port " + v, false); }},
        {"--state", [&](const std::string& v) { options.statePath = v; return true; }},
        {"--journal", [&](const std::string& v) { options.journalPath = v; return true; }},
        {"--address",
         [&](const std::string& v) {
             options.address = v;
             return IsLoopback(v) || (error = "the address " + v + " is not in 127.0.0.0/8; only loopback addresses are served", false);
         }},
    };
    for (int i = 1; i < argc; ++i) {
        const auto setter = setters.find(argv[i]);
        if (setter == setters.end()) {
            error = std::string("unknown option ") + argv[i];
            return false;
        }
        if (i + 1 >= argc) {
            error = std::string("missing value after ") + argv[i];
            return false;
        }
        if (!setter->second(argv[++i]))
            return false;
    }
    return true;
}
