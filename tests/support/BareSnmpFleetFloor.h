#pragma once
// The floor of a fleet backup: a bare Net-SNMP asynchronous loop over many
// modules, `inFlight` at a time, each with its own session, the 150 ms pause
// and then its 128 switch-register GETs one after the other; no batch,
// window, file or decoding around it.

#include <cstdint>
#include <string>
#include <vector>

// Seconds taken for all of `addresses` on `port`, read with `community`.
double FleetReadFloorSeconds(const std::vector<std::string>& addresses, uint16_t port, const char* community,
    int inFlight);
