#pragma once
// kalvorctl's side of the module history: where it is, the kinds of file a
// command saves into it (how a module's file is named, which settings differ
// between two versions, how git shows it), the `history` command, and which
// options go together.

#include <string>
#include <vector>

#include "ctl/CtlInventory.h"
#include "ctl/CtlOptions.h"

class CHistoryStore;

// A kind of file that a command saves, and the commands that compare a
// module with a version of it or bring one back (--at).
struct CtlSavedKind {
    CtlCommand save;
    std::vector<CtlCommand> updates;
    const char* noun;  // in each module's line
    const char* extension;  // of the module's file in the history
    // The command that prints such a file as text for git log -p; null for
    // a file that is text already.
    const char* show;
    // The settings, by name, that differ between two versions.
    std::vector<std::string> (*changes)(const std::string& before, const std::string& after);
};
// The kind `command` saves or updates from; null for other commands.
const CtlSavedKind* SavedKind(CtlCommand command);

// --history, or the folder of the nightly run.
std::string HistoryDir(const CtlOptions& options);
// The module's file of `kind` in the history: its name, else its address.
std::string HistoryFileName(const CtlModuleEntry& module, const CtlSavedKind& kind);
// git log -p in the history shows every kind of file as its `show` prints it.
void ShowFilesAsText(CHistoryStore& store);

// kalvorctl history HOST|NAME: the module's versions, newest first.
int RunHistory(const CtlOptions& options);

// Why the inventory, history and hook options given do not go with the
// command, or empty.
std::string CheckRecordOptions(const CtlOptions& options);
