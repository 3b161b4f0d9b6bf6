#pragma once
// Which modules the simulator serves and how each one behaves on the wire:
// one module on --address, or a fleet of consecutive addresses from
// --fleet-base with the silent and slow ones marked.

#include <cstdint>
#include <string>
#include <vector>

#include "CommandLine.h"

struct FleetMember {
    uint32_t address = 0;  // host byte order
    int index = -1;  // position in the fleet; -1: the single module
    bool silent = false;  // never answers (wins over slow)
    int delayMs = 0;  // answers this late
};

// False with a one-line `error` naming the option at fault: a fleet that
// leaves 127.0.0.0/8, a list item that is no address or range of the fleet,
// a delay that is no number of milliseconds from 1 to 60000.
bool PlanFleet(const SimOptions& options, std::vector<FleetMember>& members, std::string& error);
