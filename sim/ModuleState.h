#pragma once
// Everything the simulated module holds: its objects, its community strings,
// the planted faults and what happens when an object is read or written.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FaultTable.h"
#include "ObjectStore.h"

class ModuleState {
public:
    using Action = std::function<void(ModuleState&)>;

    ObjectStore objects;
    FaultTable faults;
    std::string readCommunity;
    std::string writeCommunity;
    // Answers no request at all, as a module that is switched off (requests
    // are still journaled, with no reply).
    bool silent = false;

    // Actions run after a successful read or write of the object.
    void AfterRead(const std::string& oid, Action action) { m_readActions[oid].push_back(std::move(action)); }
    void AfterWrite(const std::string& oid, Action action) { m_writeActions[oid].push_back(std::move(action)); }
    void RunReadActions(const std::string& oid) { Run(m_readActions, oid); }
    void RunWriteActions(const std::string& oid) { Run(m_writeActions, oid); }

    void CountCommand(const std::string& oid) { ++m_commandCounts[oid]; }
    unsigned CommandCount(const std::string& oid) const;

private:
    using ActionMap = std::map<std::string, std::vector<Action>>;
    void Run(const ActionMap& actions, const std::string& oid);

    ActionMap m_readActions;
    ActionMap m_writeActions;
    std::map<std::string, unsigned> m_commandCounts;
};
