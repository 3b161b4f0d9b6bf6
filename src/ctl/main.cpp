// kalvorctl: the module's settings and the switch board's configuration
// from the command line, for one module or a list of them.

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ctl/CtlCommands.h"
#include "ctl/CtlOptions.h"
#include "snmp/SnmpRequest.h"

namespace {

const char* StatusMeaning(int status)
{
    switch (status) {
    case kExitOk: return "ok";
    case kExitModule: return "module did not answer";
    case kExitUsage: return "file error";
    case kExitSwitchRead: return "switch read failed";
    case kExitImplausible: return "switch data implausible";
    case kExitUpload: return "upload failed";
    case kExitConfirm: return "not confirmed";
    default: return "failed";
    }
}

bool OpenTrace(const std::string& path)
{
    // SetTraceFile reports a failure on standard error itself.
    return CSnmpRequest::SetTraceFile(path);
}

// Every module of the list in turn; one that fails does not stop the others.
int RunFleet(const CtlOptions& options)
{
    std::vector<std::string> hosts;
    std::string error;
    if (!ReadHostList(options.hostsFile, hosts, error)) {
        fprintf(stderr, "kalvorctl: %s\n", error.c_str());
        return kExitUsage;
    }
    if (options.command == CtlCommand::SwitchRead && hosts.size() > 1 && !HasHostPlaceholder(options.file)) {
        fprintf(stderr, "kalvorctl: switch read for several hosts needs {host} in FILE\n");
        return kExitUsage;
    }
    const bool tracePerHost = HasHostPlaceholder(options.trace);
    if (!options.trace.empty() && !tracePerHost && !OpenTrace(options.trace))
        return kExitUsage;
    int first = kExitOk;
    int failed = 0;
    for (const std::string& host : hosts) {
        int status = kExitOk;
        if (tracePerHost && !OpenTrace(WithHost(options.trace, host)))
            status = kExitUsage;
        else
            status = RunCtlCommand(options, host, CtlOutput(host + ": "));
        if (status != kExitOk) {
            ++failed;
            if (first == kExitOk)
                first = status;
        }
        printf("%s: %s (status %d)\n", host.c_str(), status == kExitOk ? "done" : StatusMeaning(status), status);
        fflush(stdout);
    }
    CSnmpRequest::SetTraceFile(std::string());
    if (failed)
        fprintf(stderr, "kalvorctl: %d of %zu modules failed\n", failed, hosts.size());
    return first;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    const CtlParse parse
        = ParseCtlArguments(args, [](const char* name) { return static_cast<const char*>(getenv(name)); });
    switch (parse.what) {
    case CtlParse::What::Help: fputs(kCtlUsage, stdout); return kExitOk;
    case CtlParse::What::Version: printf("%s\n", kCtlVersion); return kExitOk;
    case CtlParse::What::Error: fprintf(stderr, "kalvorctl: %s\n%s", parse.error.c_str(), kCtlUsage); return kExitUsage;
    case CtlParse::What::Run: break;
    }
    const CtlOptions& options = parse.options;
    CSnmpRequest::SetQuiet(true);  // every failure is reported as one line of ours
    CSnmpRequest::SetPortOverride(static_cast<uint16_t>(options.port));
    CSnmpRequest::SetTimeoutOverride(options.timeoutUs);
    CSnmpRequest::SetRetriesOverride(options.retries);
    if (!options.hostsFile.empty())
        return RunFleet(options);
    if (!options.trace.empty() && !OpenTrace(WithHost(options.trace, options.host)))
        return kExitUsage;
    const int status = RunCtlCommand(options, options.host, CtlOutput());
    CSnmpRequest::SetTraceFile(std::string());
    return status;
}
