#pragma once
// One simulated module as the server serves it: its state and the handler
// that answers for it, at the address the fleet plan gives it.

#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "FleetPlan.h"
#include "ModuleState.h"
#include "RequestHandler.h"

class Journal;

struct ServedModule {
    FleetMember member;
    std::unique_ptr<ModuleState> state;
    std::unique_ptr<RequestHandler> handler;
};

// One module per member, each with a state of its own built from the state
// file's `document`; a fleet's modules also get their own identity and tag
// their journal lines. Throws std::runtime_error for an invalid state.
std::vector<ServedModule> BuildModules(
    const nlohmann::json& document, const std::vector<FleetMember>& members, Journal& journal);
