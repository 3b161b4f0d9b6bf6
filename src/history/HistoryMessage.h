#pragma once
// The commit message of a run: a subject line, then for every module file
// that changed its changed settings by name (or "first version"), then the
// modules that failed and kept their last good version. Parsed back to list
// a module's versions.
//
//   switch read: 2 of 250 modules changed, 1 failed
//
//   core-sw1.rcs, 127.1.0.1:
//   - Port 3: Speed
//   - VLANB
//   lab-sw.rcs, 127.1.0.9: first version
//
//   Failed, last good version kept:
//   - edge-7 (127.1.0.4)

#include <string>
#include <vector>

struct HistoryEntry {
    std::string file;  // the module's file in the folder
    std::string note;  // after the file name (the module's address), may be empty
    bool first = false;  // the file's first version
    std::vector<std::string> settings;  // changed settings by name
};

std::string ComposeHistoryMessage(
    const std::string& subject, const std::vector<HistoryEntry>& entries, const std::vector<std::string>& failed);

// The files whose entries in `message` carry `note`.
std::vector<std::string> FilesNoted(const std::string& message, const std::string& note);

// The entry of `file` in `message`; false when the message has none.
bool FindHistoryEntry(const std::string& message, const std::string& file, HistoryEntry& entry);
