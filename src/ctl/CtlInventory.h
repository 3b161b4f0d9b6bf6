#pragma once
// kalvorctl's inventory: a CSV file of the modules to run, one a line, with
// a header naming the columns address, name and group, and optionally ro
// and rw (the module's own community strings, which then override the
// run's). A file with community columns must be private to its owner.

#include <string>
#include <vector>

#include "ctl/CtlOptions.h"

struct CtlModuleEntry {
    std::string host;  // canonical dotted form
    std::string name;  // empty: the module goes by its address
    std::string group;
    std::string ro;  // Latin-1 bytes; used when hasRo
    std::string rw;
    bool hasRo = false;
    bool hasRw = false;
};

// Why `name` cannot name a module (and its files), or empty: 1 to 64
// letters, digits, '.', '-' and '_', not starting with '.' or '-', and not
// digits and dots only (an address).
std::string CheckModuleName(const std::string& name);

// The modules of the inventory `path` (of group `group` when not empty), in
// file order. False with `error` set (one line naming the file and the
// line, never a community) when the file is unusable.
bool ReadInventory(
    const std::string& path, const std::string& group, std::vector<CtlModuleEntry>& modules, std::string& error);

// The run's modules: the HOST argument, the --hosts list or the inventory.
// False with `error` set; `notice` may get a line for standard error.
bool TakeModules(
    const CtlOptions& options, std::vector<CtlModuleEntry>& modules, std::string& notice, std::string& error);

// How output names a module: "name (host)", or the host.
std::string ModuleLabel(const CtlModuleEntry& module);
// The JSON keys that name a module: "host" and, with a name, "name".
std::string ModuleJsonKeys(const CtlModuleEntry& module);
