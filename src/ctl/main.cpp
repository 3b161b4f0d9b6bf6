// kalvorctl: the module's settings and the switch board's configuration
// from the command line, for one module or a list of them.

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ctl/CtlOptions.h"
#include "ctl/CtlRunner.h"
#include "snmp/SnmpRequest.h"

namespace {

// The modules of the run: the HOST argument or the --hosts list.
bool Hosts(const CtlOptions& options, std::vector<std::string>& hosts)
{
    if (options.hostsFile.empty()) {
        hosts = {options.host};
        return true;
    }
    std::string error;
    if (!ReadHostList(options.hostsFile, hosts, error)) {
        fprintf(stderr, "kalvorctl: %s\n", error.c_str());
        return false;
    }
    if (options.command == CtlCommand::SwitchRead && hosts.size() > 1 && !HasHostPlaceholder(options.file)) {
        fprintf(stderr, "kalvorctl: switch read for several hosts needs {host} in FILE\n");
        return false;
    }
    return true;
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
    case CtlParse::What::Error:
        fprintf(stderr, "kalvorctl: %s (see kalvorctl --help)\n", parse.error.c_str());
        return kExitUsage;
    case CtlParse::What::Run: break;
    }
    const CtlOptions& options = parse.options;
    std::vector<std::string> hosts;
    if (!Hosts(options, hosts))
        return kExitUsage;
    CSnmpRequest::SetQuiet(true);  // every failure is reported as one line of ours
    CSnmpRequest::SetPortOverride(static_cast<uint16_t>(options.port));
    CSnmpRequest::SetTimeoutOverride(options.timeoutUs);
    CSnmpRequest::SetRetriesOverride(options.retries);
    return RunModules(options, hosts);
}
