#pragma once
// What sets one module of a simulated fleet apart from the others built from
// the same state file: its IP address is the one it is served on, its
// gateway keeps the state's host part in the module's own network, and its
// MAC address is the state's plus its index in the fleet (added to the last
// three bytes, so that module 0 keeps the state's address).

#include <cstdint>

class ModuleState;

void ApplyFleetIdentity(ModuleState& state, uint32_t address, int index);
