#pragma once
// kalvorctl's command line: the command, its host(s) and file, and the
// options, which may stand anywhere on the line.

#include <functional>
#include <string>
#include <vector>

// Exit statuses (kalvorctl(1)).
enum CtlExit : int {
    kExitOk = 0,
    kExitModule = 1,  // info: the module did not answer or refused
    kExitUsage = 2,  // bad command line, unreadable or unwritable file
    kExitSwitchRead = 3,  // the switch registers could not be read
    kExitImplausible = 4,  // the registers read are implausible
    kExitUpload = 5,  // the upload of the changed registers failed
    kExitConfirm = 6,  // restart and confirmation failed
};

enum class CtlCommand { Info, SwitchRead, SwitchDiff, SwitchWrite };

struct CtlOptions {
    CtlCommand command = CtlCommand::Info;
    std::string host;  // without --hosts; canonical dotted form
    std::string file;  // switch commands; may hold {host}
    std::string hostsFile;  // --hosts
    std::string roCommunity;  // Latin-1 bytes, as the module stores them
    std::string rwCommunity;
    int port = 0;  // 0: the library's
    long timeoutUs = 0;  // 0: the library's
    int retries = -1;  // negative: the library's
    bool json = false;
    std::string trace;  // may hold {host}
};

struct CtlParse {
    enum class What { Run, Help, Version, Error } what = What::Error;
    std::string error;  // for Error: one line, without the program name
    CtlOptions options;
};

// `args` without the program name; `env` looks up an environment variable
// (nullptr when unset).
CtlParse ParseCtlArguments(const std::vector<std::string>& args, const std::function<const char*(const char*)>& env);

// The addresses of a host list ("-": standard input), read to the end of
// the stream, in their canonical form: one a line, blank lines and text from
// '#' on skipped. False with `error` set when the list cannot be read, a line
// is not a module address or none is given.
bool ReadHostList(const std::string& path, std::vector<std::string>& hosts, std::string& error);

// `pattern` with every "{host}" replaced by `host`.
std::string WithHost(const std::string& pattern, const std::string& host);
bool HasHostPlaceholder(const std::string& pattern);

extern const char* const kCtlUsage;
extern const char* const kCtlVersion;
