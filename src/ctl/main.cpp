// kalvorctl: the module's settings and the switch board's configuration
// from the command line, for one module or a list of them, and the modules
// of an address range.

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ctl/CtlHostList.h"
#include "ctl/CtlOffline.h"
#include "ctl/CtlOptions.h"
#include "ctl/CtlRunner.h"
#include "ctl/CtlScanRun.h"
#include "platform/FileReplace.h"
#include "snmp/SnmpRequest.h"

namespace {

bool Refuse(const std::string& error)
{
    fprintf(stderr, "kalvorctl: %s\n", error.c_str());
    return false;
}

// The modules of the run: the HOST argument or the --hosts list.
bool Hosts(const CtlOptions& options, std::vector<std::string>& hosts)
{
    if (!options.Fleet()) {
        hosts = {options.host};
        return true;
    }
    HostList list;
    std::string error;
    if (!ReadHostList(options.hostsFile, list, error))
        return Refuse(error);
    if (!list.duplicates.empty())
        fprintf(stderr, "kalvorctl: %s\n", list.duplicates.c_str());
    hosts = std::move(list.hosts);
    const bool oneFile = !HasHostPlaceholder(options.file);
    const bool saves = options.command == CtlCommand::SwitchRead || options.command == CtlCommand::ModuleSave;
    if (saves && hosts.size() > 1 && oneFile)
        return Refuse(std::string(options.command == CtlCommand::SwitchRead ? "switch read" : "module save")
            + " for several hosts needs {host} in FILE");
    return true;
}

// --hosts-out must be writable before any traffic.
bool HostsOutWritable(const CtlOptions& options)
{
    if (options.hostsOut.empty())
        return true;
    const std::string path = Expanded(options.hostsOut, "", options.date);
    const std::string why = WhyNotWritable(path);
    return why.empty() || Refuse("--hosts-out: " + path + ": " + why);
}

void SetSessionOptions(const CtlOptions& options)
{
    const bool scan = options.command == CtlCommand::Scan;
    CSnmpRequest::SetQuiet(true);  // every failure is reported as one line of ours
    CSnmpRequest::SetPortOverride(static_cast<uint16_t>(options.port));
    // A scan meets mostly empty addresses: a short wait and no repeats unless asked.
    CSnmpRequest::SetTimeoutOverride(options.timeoutUs || !scan ? options.timeoutUs : 1000000L);
    CSnmpRequest::SetRetriesOverride(options.retries >= 0 || !scan ? options.retries : 0);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    CtlParse parse = ParseCtlArguments(args, [](const char* name) { return static_cast<const char*>(getenv(name)); });
    switch (parse.what) {
    case CtlParse::What::Help: fputs(kCtlUsage, stdout); return kExitOk;
    case CtlParse::What::Version: printf("%s\n", kCtlVersion); return kExitOk;
    case CtlParse::What::Error:
        fprintf(stderr, "kalvorctl: %s (see kalvorctl --help)\n", parse.error.c_str());
        return kExitUsage;
    case CtlParse::What::Run: break;
    }
    CtlOptions& options = parse.options;
    options.date = RunDate();
    if (options.Offline())
        return RunOffline(options);
    ScanRange range;
    std::string error;
    if (options.command == CtlCommand::Scan && !ParseScanRange(options.range, range, error)) {
        fprintf(stderr, "kalvorctl: scan: %s (see kalvorctl --help)\n", error.c_str());
        return kExitUsage;
    }
    std::vector<std::string> hosts;
    if ((options.command != CtlCommand::Scan && !Hosts(options, hosts)) || !HostsOutWritable(options))
        return kExitUsage;
    SetSessionOptions(options);
    return options.command == CtlCommand::Scan ? RunScan(options, range) : RunModules(options, hosts);
}
