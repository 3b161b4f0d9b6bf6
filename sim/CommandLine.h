#pragma once
// Options of kalvor-sim:
//   kalvor-sim [--port N] [--state FILE] [--journal FILE] [--address A]

#include <cstdint>
#include <string>

struct SimOptions {
    uint16_t port = 16161;  // 0: any free port
    std::string address = "127.0.0.1";
    std::string statePath;  // empty: the defaults
    std::string journalPath;  // empty: no journal
};

// False with `error` set for an unknown option, a missing or bad value, or
// an address outside 127.0.0.0/8.
bool ParseCommandLine(int argc, const char* const argv[], SimOptions& options, std::string& error);

const char* UsageText();
