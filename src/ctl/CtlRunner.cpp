#include "ctl/CtlRunner.h"

#include <algorithm>
#include <cstdio>

#include "ctl/CtlCommands.h"
#include "ctl/CtlOutput.h"
#include "ctl/CtlSignals.h"
#include "snmp/SnmpRequest.h"

namespace {

const char* StatusMeaning(int status)
{
    static const char* const kMeanings[] = {"done", "module did not answer", "file error", "switch read failed",
        "switch data implausible", "upload failed", "not confirmed"};
    return status >= 0 && status <= kExitConfirm ? kMeanings[status] : "failed";
}

std::string Joined(const std::vector<std::string>& hosts)
{
    std::string text;
    for (const std::string& host : hosts)
        text += (text.empty() ? "" : ", ") + host;
    return text;
}

class Run {
public:
    explicit Run(const CtlOptions& options) : m_options(options) { }

    // The command for `host`; its exit status.
    int Module(const std::string& host)
    {
        Tell(host, false);
        CtlOutput out(Fleet() ? host + ": " : "");
        int status = kExitUsage;
        if (PerHostTrace() && !CSnmpRequest::SetTraceFile(WithHost(m_options.trace, host)))
            out.Failed("trace", "the trace file cannot be opened");  // the reason is on standard error
        else
            status = RunCtlCommand(m_options, host, out, [&] { Tell(host, true); });
        if (status == kExitConfirm)
            m_unconfirmed.push_back(host);
        ++m_finished;
        Report(host, status, out);
        return status;
    }

    size_t Finished() const { return m_finished; }
    bool Fleet() const { return !m_options.hostsFile.empty(); }
    bool PerHostTrace() const { return HasHostPlaceholder(m_options.trace); }

private:
    // What the signal handler says while `host` is in progress.
    void Tell(const std::string& host, bool uploaded) const
    {
        std::vector<std::string> unconfirmed = m_unconfirmed;
        if (uploaded)
            unconfirmed.push_back(host);
        const std::string first = "kalvorctl: interrupted: finishing " + host
            + " and starting no other module (interrupt again to stop at once)\n";
        std::string second = "kalvorctl: stopped at once during " + host + "; ";
        if (unconfirmed.empty())
            second += "no module was left unconfirmed\n";
        else
            second += "not confirmed, returning to their defaults after 2 min: " + Joined(unconfirmed) + "\n";
        CtlSignals::SetLastWords(first, second);
    }

    void Report(const std::string& host, int status, const CtlOutput& out) const
    {
        if (m_options.json && status != kExitOk)
            PrintRaw("{\"host\": " + JsonString(host) + ", \"status\": " + std::to_string(status)
                + ", \"error\": " + JsonString(out.LastError()) + "}");
        if (!Fleet())
            return;
        // Standard output holds only JSON with --json.
        fprintf(m_options.json ? stderr : stdout, "%s: %s (status %d)\n", host.c_str(), StatusMeaning(status), status);
        fflush(m_options.json ? stderr : stdout);
    }

    const CtlOptions& m_options;
    size_t m_finished = 0;
    std::vector<std::string> m_unconfirmed;
};

}  // namespace

int RunModules(const CtlOptions& options, const std::vector<std::string>& hosts)
{
    Run run(options);
    if (!options.trace.empty() && !run.PerHostTrace() && !CSnmpRequest::SetTraceFile(options.trace))
        return kExitUsage;
    CtlSignals::Install();
    int worst = kExitOk;
    int failed = 0;
    for (const std::string& host : hosts) {
        if (CtlSignals::Count() > 0)
            break;
        const int status = run.Module(host);
        worst = std::max(worst, status);
        failed += status != kExitOk;
    }
    CSnmpRequest::SetTraceFile(std::string());
    if (run.Fleet() && failed)
        fprintf(stderr, "kalvorctl: %d of %zu modules failed\n", failed, hosts.size());
    if (CtlSignals::Count() == 0)
        return worst;
    fprintf(stderr, "kalvorctl: interrupted: %zu of %zu modules finished\n", run.Finished(), hosts.size());
    return CtlSignals::InterruptedStatus();
}
