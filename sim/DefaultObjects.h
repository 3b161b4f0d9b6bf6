#pragma once
// The objects that a freshly started simulated module serves, as tables.
// Their identifiers come from the tool's object catalogue (ModuleObjects.h).

#include <cstdint>
#include <string>
#include <vector>

#include "ObjectStore.h"
#include "snmp/ModuleObjects.h"

inline constexpr const char* kDefaultReadCommunity = "582019374620";
inline constexpr const char* kDefaultWriteCommunity = "marbled";

inline constexpr const char* kFirmwareObject = Oid::kFirmwareVersion;
inline constexpr const char* kWriteCommunityObject = Oid::kRwCommunity;
inline constexpr const char* kReadCommunityObject = Oid::kRoCommunity;

struct CommandObject {
    const char* oid;  // full
    const char* meaning;
};
const std::vector<CommandObject>& CommandObjects();

// Fills `store` with every default object (full OIDs as keys).
void AddDefaultObjects(ObjectStore& store);
