#pragma once
// kalvorctl's command line: the command, its host(s) and file(s), and the
// options, which may stand anywhere on the line.

#include <functional>
#include <string>
#include <vector>

// Exit statuses (kalvorctl(1)).
enum CtlExit : int {
    kExitOk = 0,
    kExitModule = 1,  // info: the module did not answer or refused; diff --exit-code: registers differ
    kExitUsage = 2,  // bad command line, unreadable or unwritable file
    kExitSwitchRead = 3,  // the switch registers could not be read
    kExitImplausible = 4,  // the registers read are implausible
    kExitUpload = 5,  // the upload of the changed registers failed
    kExitConfirm = 6,  // restart and confirmation failed
    kExitNotApplied = 7,  // module apply: refused for this module or not confirmed by the operator
    kExitIncomplete = 8,  // module apply: a setting was not written or reads back otherwise
};

enum class CtlCommand {
    Info,
    SwitchRead,
    SwitchDiff,
    SwitchWrite,
    SwitchShow,
    Scan,
    History,
    ModuleSave,
    ModuleShow,
    ModuleDiff,
    ModuleApply,
};

struct CtlOptions {
    CtlCommand command = CtlCommand::Info;
    std::string host;  // one module, without --hosts; canonical dotted form
    std::string file;  // switch commands; may hold {host} and {date}
    std::string otherFile;  // switch diff FILE1 FILE2: the second file (no module then)
    std::string range;  // scan
    std::string hostsFile;  // --hosts
    std::string hostsOut;  // --hosts-out
    std::string roCommunity;  // Latin-1 bytes, as the module stores them
    std::string rwCommunity;
    int port = 0;  // 0: the library's
    long timeoutUs = 0;  // 0: the library's
    int retries = -1;  // negative: the library's
    int jobs = 32;  // modules worked on at once
    bool json = false;
    bool exitCode = false;  // switch and module diff: status 1 when anything differs
    bool yes = false;  // module apply: no question
    bool withAddress = false;  // module apply: the module's own address too
    std::string trace;  // may hold {host} and {date}
    std::string date;  // {date}: the run's start, UTC, "20261207T141500Z"
    std::string inventory;  // --inventory
    std::string group;  // --group
    std::string history;  // --history DIR
    std::string at;  // --at REV
    std::string onChange;  // --on-change CMD
    std::string onFailure;  // --on-failure CMD
    long hookTimeoutUs = 60000000;  // --hook-timeout
    // One module's copy of the options: its inventory name ({name}, "name"
    // in JSON); history: the module asked for, a name or an address.
    std::string name;

    bool Offline() const
    {
        return command == CtlCommand::SwitchShow || command == CtlCommand::ModuleShow || command == CtlCommand::History
            || !otherFile.empty();
    }
    bool Diff() const { return command == CtlCommand::SwitchDiff || command == CtlCommand::ModuleDiff; }
    bool Fleet() const { return !hostsFile.empty() || !inventory.empty(); }
};

struct CtlParse {
    enum class What { Run, Help, Version, Error } what = What::Error;
    std::string error;  // for Error: one line, without the program name
    CtlOptions options;
};

inline constexpr int kMaxJobs = 256;

// `args` without the program name; `env` looks up an environment variable
// (nullptr when unset).
CtlParse ParseCtlArguments(const std::vector<std::string>& args, const std::function<const char*(const char*)>& env);

// `pattern` with every "{host}" replaced by `host`, every "{date}" by
// `date` and every "{name}" by `name` (the address when it is empty).
std::string Expanded(
    const std::string& pattern, const std::string& host, const std::string& date, const std::string& name = "");
bool HasHostPlaceholder(const std::string& pattern);
// The words that name `command` on the command line ("switch read").
const char* CommandWords(CtlCommand command);
// {host} or {name}: a file of its own for every module.
bool HasModulePlaceholder(const std::string& pattern);
// The UTC time now as "20261207T141500Z" (sorts as it reads).
std::string RunDate();

extern const char* const kCtlUsage;
extern const char* const kCtlVersion;
