#pragma once
// What follows each module's result in a kalvorctl run: the module's name
// and communities from the inventory, the history (switch read and module
// save --history: one commit at the end for every module whose file
// changed; --at: the version each module is compared with or brought back
// to), whether the saved file changed, and the hooks (--on-change,
// --on-failure).

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "ctl/CtlHistory.h"
#include "ctl/CtlHooks.h"
#include "ctl/CtlInventory.h"
#include "ctl/CtlOptions.h"

class CCtlModule;
class CHistoryStore;
class CtlOutput;

class CCtlFollowUp {
public:
    CCtlFollowUp(const CtlOptions& options, const std::vector<CtlModuleEntry>& modules);
    ~CCtlFollowUp();
    CCtlFollowUp(const CCtlFollowUp&) = delete;
    CCtlFollowUp& operator=(const CCtlFollowUp&) = delete;

    // Before any traffic: the history locked for this run, or each module's
    // version --at taken from it. False with `error` set (one line).
    bool Open(std::string& error);

    // The options module `i` runs with: its name, its communities, its FILE.
    CtlOptions ModuleOptions(size_t i) const;
    std::string Label(size_t i) const { return ModuleLabel(m_modules[i]); }
    std::string JsonKeys(size_t i) const { return ModuleJsonKeys(m_modules[i]); }
    // Module `i` starts as `module`.
    void Started(size_t i, CCtlModule& module);
    // Module `i` ended with `status`; its lines go to `out`.
    void Finished(size_t i, int status, CtlOutput& out);
    // The run's end: the history's commit, the hooks that follow it, and
    // every hook's end. False when the commit could not be made.
    bool Close(CtlOutput& out);
    // Keys for the closing JSON summary (each after ", "), or empty.
    std::string SummaryJson() const;

private:
    struct State {
        bool hadBefore = false;
        std::string before;  // the file at the output path before the run
        bool saved = false;
        std::string bytes;  // what a history run read
        bool changed = false;
        std::vector<std::string> changes;
    };

    bool Saves() const;  // the command saves a file
    bool Recording() const;  // ... into the history
    std::string SavedPath(size_t i) const;
    void Record(size_t i, CtlOutput& out);
    bool TakeVersions(std::string& error);
    std::string StoredFileName(const CtlModuleEntry& module) const;
    void Hook(const std::string& kind, const std::string& command, size_t i, int status);

    const CtlOptions& m_options;
    const std::vector<CtlModuleEntry>& m_modules;
    const CtlSavedKind* m_kind;  // what the command saves or updates from
    std::vector<State> m_states;
    std::unique_ptr<CHistoryStore> m_store;
    std::unique_ptr<QTemporaryDir> m_versions;  // --at: each module's version as a file
    CCtlHooks m_hooks;
    std::vector<size_t> m_failed;
    std::vector<size_t> m_changed;
    std::string m_commit;
};
