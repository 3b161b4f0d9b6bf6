#include "ctl/CtlScanRun.h"

#include <unistd.h>
#include <vector>

#include "ctl/CtlEventLoop.h"
#include "ctl/CtlHostList.h"
#include "ctl/CtlOutput.h"
#include "ctl/CtlSignals.h"
#include "snmp/ModuleAddress.h"
#include "snmp/SnmpRequest.h"

namespace {

std::string ProbeLine(const std::string& host, const ProbeResult& result)
{
    if (!result.settingsRead)
        return host + ": firmware " + result.firmware.toStdString() + ", MAC and switch board unknown";
    return host + ": firmware " + result.firmware.toStdString() + ", MAC " + result.mac.toStdString()
        + (result.switchBoard ? ", switch board" : ", no switch board");
}

std::string ProbeJson(const std::string& host, const ProbeResult& result)
{
    std::string json = "{\"host\": " + JsonString(host) + ", \"firmware\": " + JsonString(result.firmware.toStdString());
    if (result.settingsRead)
        json += ", \"mac\": " + JsonString(result.mac.toStdString())
            + ", \"switch\": " + (result.switchBoard ? "true" : "false");
    return json + "}";
}

class Scan {
public:
    Scan(const CtlOptions& options, const ScanRange& range)
        : m_options(options), m_range(range), m_scan(range, options.roCommunity, options.jobs),
          m_progress(isatty(STDERR_FILENO))
    {
    }

    int Go()
    {
        CtlSignals::SetLastWords("kalvorctl: interrupted: finishing the addresses in progress and starting no other "
                                 "(interrupt again to stop at once)\n",
            "kalvorctl: stopped at once\n");
        // A second signal leaves the list of the modules found so far.
        if (!m_options.hostsOut.empty()) {
            std::vector<std::string> addresses;
            for (uint32_t i = 0; i < m_range.Size(); ++i)
                addresses.push_back(DottedIpv4(m_range.first + i));
            CtlSignals::SetHostsOut(Expanded(m_options.hostsOut, "", m_options.date), addresses, false);
        }
        RunUntilInterrupted([this](std::function<bool()> stop, std::function<void()> over) {
            m_scan.Start({[this](const std::string& host, const ProbeResult& result) { Found(host, result); },
                             [this] { Progress(); }, std::move(over)},
                std::move(stop));
        });
        return Close();
    }

private:
    void Progress() const
    {
        if (m_progress)
            CtlOutput::Progress(std::to_string(m_scan.Done()) + "/" + std::to_string(m_scan.Size()) + " addresses, "
                + std::to_string(m_scan.Answered()) + " answered");
    }

    void Found(const std::string& host, const ProbeResult& result)
    {
        m_found.push_back(host);
        if (const auto address = ParseDottedIpv4(host))
            CtlSignals::MarkForHostsOut(*address - m_range.first, true);
        CtlOutput out;
        m_options.json ? out.Raw(ProbeJson(host, result)) : out.Line(ProbeLine(host, result));
    }

    int Close()
    {
        CtlOutput out;
        int status = WriteHostsOut(m_options, m_found) ? kExitOk : kExitUsage;
        const bool interrupted = CtlSignals::Count() > 0;
        if (interrupted)
            status = CtlSignals::InterruptedStatus();
        status = StatusAfterOutput(status);
        const std::string asked = std::to_string(m_scan.Asked());
        if (m_options.json)
            out.Raw("{\"summary\": {\"addresses\": " + std::to_string(m_scan.Size()) + ", \"asked\": " + asked
                + ", \"answered\": " + std::to_string(m_found.size()) + ", \"status\": " + std::to_string(status)
                + "}}");
        out.Note("kalvorctl: " + std::to_string(m_found.size()) + " of " + asked + " addresses answered"
            + (interrupted ? " (interrupted)" : ""));
        return status;
    }

    const CtlOptions& m_options;
    ScanRange m_range;
    CModuleScan m_scan;
    bool m_progress;
    std::vector<std::string> m_found;
};

}  // namespace

int RunScan(const CtlOptions& options, const ScanRange& range)
{
    // One trace for the whole range ({host} stands for nothing here).
    if (!options.trace.empty() && !CSnmpRequest::SetTraceFile(Expanded(options.trace, "", options.date)))
        return kExitUsage;
    Scan scan(options, range);
    const int status = scan.Go();
    CSnmpRequest::SetTraceFile(std::string());
    return status;
}
