// kalvorctl: the module's settings and the switch board's configuration
// from the command line, for one module or a list of them, and the modules
// of an address range.

#include <QCoreApplication>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/FileReplace.h"
#include "ctl/CtlInventory.h"
#include "ctl/CtlOffline.h"
#include "ctl/CtlOptions.h"
#include "ctl/CtlOutput.h"
#include "ctl/CtlRunner.h"
#include "ctl/CtlScanRun.h"
#include "fleet/CtlDescriptors.h"
#include "snmp/SnmpRequest.h"

namespace {

bool Refuse(const std::string& error)
{
    fprintf(stderr, "kalvorctl: %s\n", error.c_str());
    return false;
}

// The modules of the run: the HOST argument, the --hosts list or the inventory.
bool Modules(const CtlOptions& options, std::vector<CtlModuleEntry>& modules)
{
    std::string notice, error;
    if (!TakeModules(options, modules, notice, error))
        return Refuse(error);
    if (!notice.empty())
        fprintf(stderr, "kalvorctl: %s\n", notice.c_str());
    const bool oneFile = !options.file.empty() && !HasModulePlaceholder(options.file);
    const bool saves = options.command == CtlCommand::SwitchRead || options.command == CtlCommand::ModuleSave;
    if (saves && modules.size() > 1 && oneFile)
        return Refuse(std::string(options.command == CtlCommand::SwitchRead ? "switch read" : "module save")
            + " for several hosts needs {host} or {name} in FILE");
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

// A write to a pipe whose reader is gone fails (and is said, see CtlOutput)
// instead of ending the run before the modules in progress are confirmed.
// A standard stream that was closed (>&-) gets a descriptor that cannot be
// written, so that its writes fail as well and no file or socket opened
// later takes its number.
void GuardStandardStreams()
{
    signal(SIGPIPE, SIG_IGN);
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1)
            continue;
        const int placeholder = open("/dev/null", O_RDONLY);
        if (placeholder >= 0 && placeholder != fd) {
            dup2(placeholder, fd);
            close(placeholder);
        }
    }
}

// --jobs as far as the limit of open files holds them: a session each, and
// a trace file each with {host} in --trace.
void FitJobs(CtlOptions& options, size_t items)
{
    const int perJob = HasHostPlaceholder(options.trace) ? 2 : 1;
    const int jobs = int(std::min<size_t>(size_t(options.jobs), std::max<size_t>(items, 1)));
    unsigned long limit = 0;
    const int fit = CtlDescriptors::FitJobs(jobs, perJob, limit);
    if (fit < jobs) {
        CtlOutput().Note("kalvorctl: --jobs " + std::to_string(options.jobs) + " lowered to " + std::to_string(fit)
            + ": the limit of open files (" + std::to_string(limit) + ", see ulimit -n) holds no more sessions at once");
        options.jobs = fit;
    }
}

void SetSessionOptions(const CtlOptions& options)
{
    const bool scan = options.command == CtlCommand::Scan;
    CSnmpRequest::SetPortOverride(static_cast<uint16_t>(options.port));
    // A scan meets mostly empty addresses: a short wait and no repeats unless asked.
    CSnmpRequest::SetTimeoutOverride(options.timeoutUs || !scan ? options.timeoutUs : 1000000L);
    CSnmpRequest::SetRetriesOverride(options.retries >= 0 || !scan ? options.retries : 0);
}

}  // namespace

int main(int argc, char** argv)
{
    GuardStandardStreams();
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
    CtlOutput::SetJson(options.json);
    if (options.Offline())
        return StatusAfterOutput(RunOffline(options));
    ScanRange range;
    std::string error;
    if (options.command == CtlCommand::Scan && !ParseScanRange(options.range, range, error)) {
        fprintf(stderr, "kalvorctl: scan: %s (see kalvorctl --help)\n", error.c_str());
        return kExitUsage;
    }
    std::vector<CtlModuleEntry> modules;
    if ((options.command != CtlCommand::Scan && !Modules(options, modules)) || !HostsOutWritable(options))
        return kExitUsage;
    SetSessionOptions(options);
    const bool scan = options.command == CtlCommand::Scan;
    FitJobs(options, scan ? range.Size() : modules.size());
    return scan ? RunScan(options, range) : RunModules(options, modules);
}
