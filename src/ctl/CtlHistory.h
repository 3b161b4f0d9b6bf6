#pragma once
// kalvorctl's side of the module history: where it is, how a module's file
// in it is named, which settings differ between two versions of a switch
// configuration, the `history` command, and which options go together.

#include <string>
#include <vector>

#include "ctl/CtlInventory.h"
#include "ctl/CtlOptions.h"

class CHistoryStore;

// --history, or the folder of the nightly run.
std::string HistoryDir(const CtlOptions& options);
// The module's file in the history: its name (else its address) and the
// extension of what the command saves.
std::string HistoryFileName(const CtlModuleEntry& module);
// The settings, by name, that differ between two switch configurations
// ("register R" for one no setting shows).
std::vector<std::string> SwitchChanges(const std::string& before, const std::string& after);
// git log -p in the history shows switch configurations as `switch show` does.
void ShowSwitchFilesAsText(CHistoryStore& store);

// kalvorctl history HOST|NAME: the module's versions, newest first.
int RunHistory(const CtlOptions& options);

// Why the inventory, history and hook options given do not go with the
// command, or empty.
std::string CheckRecordOptions(const CtlOptions& options);
