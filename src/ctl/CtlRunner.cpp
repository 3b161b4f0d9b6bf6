#include "ctl/CtlRunner.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <unistd.h>

#include "ctl/CtlEventLoop.h"
#include "ctl/CtlFollowUp.h"
#include "ctl/CtlHostList.h"
#include "ctl/CtlModule.h"
#include "ctl/CtlOutput.h"
#include "ctl/CtlSignals.h"
#include "fleet/CtlPool.h"
#include "snmp/SnmpRequest.h"

namespace {

const char* StatusMeaning(const CtlOptions& options, int status)
{
    static const char* const kMeanings[] = {"done", "module did not answer", "file error", "switch read failed",
        "switch data implausible", "upload failed", "not confirmed", "not applied", "not every setting written"};
    if (options.Diff() && status == kExitModule)
        return options.command == CtlCommand::SwitchDiff ? "registers differ" : "settings differ";
    return status >= 0 && status <= kExitIncomplete ? kMeanings[status] : "failed";
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
    Run(const CtlOptions& options, const std::vector<std::string>& hosts, CCtlFollowUp& followUp)
        : m_options(options),
          m_hosts(hosts),
          m_followUp(followUp),
          m_slots(hosts.size()),
          m_pool(hosts.size(), options.jobs),
          m_progress(options.Fleet() && isatty(STDERR_FILENO))
    {
    }

    // `file`: the configuration file of every module, when read once for all.
    int Go(const CSwitchImage* file)
    {
        m_file = file;
        // A second signal leaves the list of every module not done.
        if (!m_options.hostsOut.empty())
            CtlSignals::SetHostsOut(Expanded(m_options.hostsOut, "", m_options.date), m_hosts, true);
        Tell();
        RunUntilInterrupted([this](std::function<bool()> stop, std::function<void()> over) {
            m_pool.Begin([this](size_t i) { Start(i); }, [this](size_t i) { Reported(i); }, std::move(stop),
                std::move(over));
        });
        return Close();
    }

private:
    struct Slot {
        std::unique_ptr<CtlOutput> out;
        std::unique_ptr<CCtlModule> module;
        int status = kExitUsage;
        bool uploaded = false;
        std::unique_ptr<CtlOptions> options;  // the module's own (after `module`: it outlives it)
    };

    bool PerHostTrace() const { return HasHostPlaceholder(m_options.trace); }

    void Start(size_t i)
    {
        const std::string& host = m_hosts[i];
        Slot& slot = m_slots[i];
        slot.out = std::make_unique<CtlOutput>(m_options.Fleet() ? m_followUp.Label(i) + ": " : "");
        if (i != m_reported)
            slot.out->Hold();  // until every module before it is reported
        m_inProgress.insert(i);
        Tell();
        if (PerHostTrace() && !CSnmpRequest::SetHostTraceFile(host, Expanded(m_options.trace, host, m_options.date))) {
            slot.out->Failed("trace", "the trace file cannot be opened");  // the reason is on standard error
            return Finished(i, kExitUsage);
        }
        slot.options = std::make_unique<CtlOptions>(m_followUp.ModuleOptions(i));
        slot.module = std::make_unique<CCtlModule>(*slot.options, host, *slot.out);
        if (m_file)
            slot.module->UseFile(*m_file);
        m_followUp.Started(i, *slot.module);
        slot.module->Start([this, i](int status) { Finished(i, status); },
            [this, i] {
                m_slots[i].uploaded = true;
                Tell();
            });
    }

    void Finished(size_t i, int status)
    {
        Slot& slot = m_slots[i];
        const std::string& host = m_hosts[i];
        slot.status = status;
        if (PerHostTrace())
            CSnmpRequest::SetHostTraceFile(host, std::string());
        m_inProgress.erase(i);
        const bool failed = CCtlModule::IsFailure(m_options, status);
        CtlSignals::MarkForHostsOut(i, failed);
        m_failed += failed;
        if (status == kExitConfirm)
            m_unconfirmed.push_back(host);
        Tell();
        m_followUp.Finished(i, status, *slot.out);
        if (m_options.json && failed)
            slot.out->Raw(JsonFailure(m_followUp.JsonKeys(i), status, slot.out->LastError()));
        // Standard output holds only JSON with --json.
        if (m_options.Fleet()) {
            const std::string summary = m_followUp.Label(i) + ": " + StatusMeaning(m_options, status) + " (status "
                + std::to_string(status) + ")";
            m_options.json ? slot.out->Note(summary) : slot.out->Raw(summary);
        }
        ++m_finished;
        if (m_progress)
            CtlOutput::Progress(std::to_string(m_finished) + "/" + std::to_string(m_hosts.size()) + " modules, "
                + std::to_string(m_failed) + " failed");
        m_pool.Finished(i);
    }

    // In list order: the module's lines are out, the next module's follow.
    void Reported(size_t i)
    {
        m_worst = std::max(m_worst, m_slots[i].status);
        if (CCtlModule::IsFailure(m_options, m_slots[i].status))
            m_failedHosts.push_back(m_hosts[i]);
        m_slots[i].out->Release();
        m_slots[i] = Slot {nullptr, nullptr, m_slots[i].status, false, nullptr};
        m_reported = i + 1;
        if (m_reported < m_slots.size() && m_slots[m_reported].out)
            m_slots[m_reported].out->Release();
    }

    // What the signal handler says with the modules now in progress.
    void Tell() const
    {
        std::vector<std::string> running, unconfirmed = m_unconfirmed;
        for (size_t i : m_inProgress) {
            running.push_back(m_hosts[i]);
            if (m_slots[i].uploaded)
                unconfirmed.push_back(m_hosts[i]);
        }
        std::string what = std::to_string(running.size()) + " modules in progress (" + Joined(running) + ")";
        if (running.size() <= 1)
            what = running.empty() ? std::string("the modules in progress") : running.front();
        const std::string first = "kalvorctl: interrupted: finishing " + what
            + " and starting no other module (interrupt again to stop at once)\n";
        std::string second = "kalvorctl: stopped at once during " + what + "; ";
        if (unconfirmed.empty())
            second += "no module was left unconfirmed\n";
        else
            second += "not confirmed, returning to their defaults after 2 min: " + Joined(unconfirmed) + "\n";
        CtlSignals::SetLastWords(first, second);
    }

    int Close()
    {
        CtlOutput out;
        if (!m_followUp.Close(out))
            m_worst = std::max(m_worst, int(kExitUsage));
        const size_t total = m_hosts.size();
        if (m_options.Fleet() && !m_failedHosts.empty())
            out.Note("kalvorctl: " + std::to_string(m_failedHosts.size()) + " of " + std::to_string(total)
                + " modules failed: " + Joined(m_failedHosts));
        const bool interrupted = CtlSignals::Count() > 0;
        // A re-run takes the modules that failed and those never started.
        std::vector<std::string> again = m_failedHosts;
        again.insert(again.end(), m_hosts.begin() + long(m_reported), m_hosts.end());
        if (!WriteHostsOut(m_options, again))
            m_worst = std::max(m_worst, int(kExitUsage));
        const int status = StatusAfterOutput(interrupted ? CtlSignals::InterruptedStatus() : m_worst);
        if (m_options.json && m_options.Fleet())
            out.Raw("{\"summary\": {\"modules\": " + std::to_string(total) + ", \"finished\": "
                + std::to_string(m_reported) + ", \"failed\": " + std::to_string(m_failedHosts.size())
                + ", \"failed_hosts\": " + JsonStrings(m_failedHosts) + ", \"status\": " + std::to_string(status)
                + (m_followUp.SummaryJson().empty() ? "" : ", " + m_followUp.SummaryJson()) + "}}");
        const std::string finished = std::to_string(m_reported) + " of " + std::to_string(total) + " modules finished";
        if (interrupted)
            out.Note("kalvorctl: interrupted: " + finished);
        else if (CtlOutput::Broken())
            out.Note("kalvorctl: stopped as output failed: " + finished);
        return status;
    }

    const CtlOptions& m_options;
    const std::vector<std::string>& m_hosts;
    CCtlFollowUp& m_followUp;
    const CSwitchImage* m_file = nullptr;
    std::vector<Slot> m_slots;
    CCtlPool m_pool;
    bool m_progress;
    std::set<size_t> m_inProgress;
    std::vector<std::string> m_unconfirmed;
    std::vector<std::string> m_failedHosts;
    size_t m_reported = 0;
    size_t m_finished = 0;
    size_t m_failed = 0;
    int m_worst = kExitOk;
};

// switch diff and switch write with one configuration file for every
// module of a list: read once, before any module is touched. False after
// saying why it is refused.
bool ReadSharedFile(const CtlOptions& options, CSwitchImage& image, bool& shared)
{
    shared = options.Fleet() && !options.file.empty() && !HasModulePlaceholder(options.file)
        && (options.command == CtlCommand::SwitchDiff || options.command == CtlCommand::SwitchWrite);
    if (!shared)
        return true;
    CtlOutput out;
    const std::string path = Expanded(options.file, "", options.date);
    if (LoadImageFile("", path, out, image) == kExitOk)
        return true;
    if (options.json)
        out.Raw(JsonFailure("\"file\": " + JsonString(path), kExitUsage, out.LastError()));
    return false;
}

}  // namespace

int RunModules(const CtlOptions& options, const std::vector<CtlModuleEntry>& modules)
{
    CCtlFollowUp followUp(options, modules);
    std::string error;
    if (!followUp.Open(error)) {
        fprintf(stderr, "kalvorctl: %s\n", error.c_str());
        return kExitUsage;
    }
    CSwitchImage file;
    bool shared = false;
    if (!ReadSharedFile(options, file, shared))
        return kExitUsage;
    if (!options.trace.empty() && !HasHostPlaceholder(options.trace)
        && !CSnmpRequest::SetTraceFile(Expanded(options.trace, "", options.date)))
        return kExitUsage;
    std::vector<std::string> hosts;
    for (const CtlModuleEntry& module : modules)
        hosts.push_back(module.host);
    Run run(options, hosts, followUp);
    const int status = run.Go(shared ? &file : nullptr);
    CSnmpRequest::SetTraceFile(std::string());
    return status;
}
