#pragma once
// Builds the module's state from the JSON state file: the default objects,
// then the file's firmware, communities, objects, removals and faults.
// Errors throw std::runtime_error naming the offending entry.

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "ModuleState.h"

std::unique_ptr<ModuleState> LoadState(const nlohmann::json& document);
// The state file's document; an empty path gives an empty one (the defaults).
nlohmann::json ReadStateFile(const std::string& path);

// "4.066" -> 0x0442.
int32_t ParseFirmwareText(const std::string& text);
