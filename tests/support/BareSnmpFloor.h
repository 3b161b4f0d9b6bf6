#pragma once
// The floor the benchmarks measure Kalvor against: the one 150 ms pause of a
// batch, then the 128 switch-register GETs as a bare Net-SNMP loop over one
// session, with no batch, window or decoding around it.

#include <cstdint>
#include <string>

// Seconds taken for the module at `address`:`port`, read with `community`.
double RegisterReadFloorSeconds(const std::string& address, uint16_t port, const char* community);
