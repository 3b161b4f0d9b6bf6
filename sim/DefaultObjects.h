#pragma once
// The objects that a freshly started simulated module serves, as tables.

#include <cstdint>
#include <string>
#include <vector>

#include "ObjectStore.h"

inline constexpr const char* kDefaultReadCommunity = "582019374620";
inline constexpr const char* kDefaultWriteCommunity = "marbled";

// Object identifiers relative to the enterprise prefix.
inline constexpr const char* kFirmwareObject = ".1.1.8.0";
inline constexpr const char* kWriteCommunityObject = ".1.1.4.0";
inline constexpr const char* kReadCommunityObject = ".1.1.17.0";

struct CommandObject {
    const char* oid;  // relative
    const char* meaning;
};
const std::vector<CommandObject>& CommandObjects();

// Fills `store` with every default object (full OIDs as keys).
void AddDefaultObjects(ObjectStore& store);
