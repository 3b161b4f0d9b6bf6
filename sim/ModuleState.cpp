#include "ModuleState.h"

unsigned ModuleState::CommandCount(const std::string& oid) const
{
    const auto found = m_commandCounts.find(oid);
    return found == m_commandCounts.end() ? 0 : found->second;
}

void ModuleState::Run(const ActionMap& actions, const std::string& oid)
{
    const auto found = actions.find(oid);
    if (found == actions.end())
        return;
    // Copied: an action may register further actions.
    const std::vector<Action> toRun = found->second;
    for (const Action& action : toRun)
        action(*this);
}
