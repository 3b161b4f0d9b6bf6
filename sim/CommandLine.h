#pragma once
// Options of kalvor-sim:
//   kalvor-sim [--port N] [--state FILE] [--journal FILE] [--address A]
//              [--fleet N [--fleet-base A] [--fleet-silent LIST]... [--fleet-slow LIST:MS]...]
//   kalvor-sim --help | --version

#include <cstdint>
#include <string>
#include <vector>

struct FleetOptions {
    static constexpr unsigned kMaxSize = 4096;
    static constexpr uint32_t kDefaultBase = 0x7F010001;  // 127.1.0.1

    unsigned size = 0;  // 0: a single module, no fleet
    uint32_t base = kDefaultBase;
    // As given; each option may be repeated. Resolved against the fleet by PlanFleet.
    std::vector<std::string> silentLists;
    std::vector<std::string> slowLists;
};

struct SimOptions {
    enum class Request { Serve, Help, Version };

    Request request = Request::Serve;
    uint16_t port = 16161;  // 0: any free port
    std::string address = "127.0.0.1";  // canonical dotted form
    bool addressGiven = false;
    std::string statePath;  // empty: the defaults
    std::string journalPath;  // empty: no journal
    FleetOptions fleet;
    std::string firstFleetOption;  // the first --fleet-... option given, for the message when --fleet is missing
};

// False with `error` set (one line, naming the option) for an unknown
// option, a missing or bad value, an address outside 127.0.0.0/8, or options
// that do not go together.
bool ParseCommandLine(int argc, const char* const argv[], SimOptions& options, std::string& error);

const char* UsageText();
const char* HelpText();
