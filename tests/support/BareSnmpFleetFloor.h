#pragma once
// The floor of a fleet's reads: a bare Net-SNMP asynchronous loop over many
// modules, `inFlight` at a time, each with its own session and, for each of
// its batches, the 150 ms pause and then the batch's GETs one after the
// other; no batch object, window, file or decoding around it.

#include <cstdint>
#include <string>
#include <vector>

// The OIDs of one module's batches, in order.
using FloorBatches = std::vector<std::vector<std::string>>;

// Seconds taken for all of `addresses` on `port`, read with `community`;
// without `batches`, the 128 switch registers in one batch.
double FleetReadFloorSeconds(const std::vector<std::string>& addresses, uint16_t port, const char* community,
    int inFlight, const FloorBatches& batches = {});
