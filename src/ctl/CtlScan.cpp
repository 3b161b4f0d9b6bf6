#include "ctl/CtlScan.h"

#include <memory>
#include <unistd.h>
#include <vector>

#include "ctl/CtlHostList.h"
#include "ctl/CtlOutput.h"
#include "ctl/CtlPool.h"
#include "ctl/CtlProbe.h"
#include "ctl/CtlSignals.h"
#include "snmp/ModuleAddress.h"
#include "snmp/SnmpRequest.h"

namespace {

bool ParseAddress(const std::string& text, uint32_t& address, std::string& error)
{
    const ModuleAddressParse parse = ParseModuleAddress(text);
    if (!parse.Accepted()) {
        error = parse.error;
        return false;
    }
    address = parse.value;
    return true;
}

bool ParsePrefix(const std::string& text, int& prefix)
{
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    prefix = std::stoi(text);
    return prefix <= 32;
}

// The first address that names no module, or empty.
std::string Refused(const ScanRange& range)
{
    for (uint64_t address = range.first; address <= range.last; ++address) {
        const ModuleAddressParse parse = ParseModuleAddress(DottedIpv4(uint32_t(address)));
        if (!parse.Accepted())
            return parse.error;
    }
    return std::string();
}

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
        : m_options(options), m_range(range), m_probes(range.Size()), m_pool(range.Size(), options.jobs),
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
        m_pool.RunUntilInterrupted([this](size_t i) { Start(i); }, [this](size_t i) { Reported(i); });
        return Close();
    }

private:
    struct Probe {
        std::unique_ptr<CCtlProbe> probe;
        ProbeResult result;
    };

    void Start(size_t i)
    {
        m_probes[i].probe = std::make_unique<CCtlProbe>(DottedIpv4(m_range.first + uint32_t(i)), m_options.roCommunity);
        m_probes[i].probe->Start([this, i](const ProbeResult& result) {
            m_probes[i].result = result;
            m_answered += result.answered;
            CtlSignals::MarkForHostsOut(i, result.answered);
            ++m_finished;
            if (m_progress)
                CtlOutput::Progress(std::to_string(m_finished) + "/" + std::to_string(m_range.Size()) + " addresses, "
                    + std::to_string(m_answered) + " answered");
            m_pool.Finished(i);
        });
    }

    void Reported(size_t i)
    {
        const ProbeResult result = m_probes[i].result;
        m_probes[i].probe.reset();
        if (!result.answered)
            return;
        const std::string host = DottedIpv4(m_range.first + uint32_t(i));
        m_found.push_back(host);
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
        const std::string asked = std::to_string(m_pool.Started());
        if (m_options.json)
            out.Raw("{\"summary\": {\"addresses\": " + std::to_string(m_range.Size()) + ", \"asked\": " + asked
                + ", \"answered\": " + std::to_string(m_found.size()) + ", \"status\": " + std::to_string(status)
                + "}}");
        out.Note("kalvorctl: " + std::to_string(m_found.size()) + " of " + asked + " addresses answered"
            + (interrupted ? " (interrupted)" : ""));
        return status;
    }

    const CtlOptions& m_options;
    ScanRange m_range;
    std::vector<Probe> m_probes;
    CCtlPool m_pool;
    bool m_progress;
    size_t m_finished = 0;
    size_t m_answered = 0;
    std::vector<std::string> m_found;
};

}  // namespace

bool ParseScanRange(const std::string& text, ScanRange& range, std::string& error)
{
    const size_t slash = text.find('/');
    const size_t dash = text.find('-');
    const std::string tooLarge = "scan: " + text + " is larger than a /16 (65536 addresses); scan it in parts";
    if (slash != std::string::npos) {
        int prefix = 0;
        if (!ParsePrefix(text.substr(slash + 1), prefix)) {
            error = "scan: " + text + ": the prefix after / is not a number from 16 to 32";
            return false;
        }
        if (prefix < 16) {
            error = tooLarge;
            return false;
        }
        uint32_t base = 0;
        if (!ParseAddress(text.substr(0, slash), base, error))
            return false;
        const uint32_t mask = prefix == 32 ? ~0u : ~((1u << (32 - prefix)) - 1);
        range.first = base & mask;
        range.last = range.first | ~mask;
        if (prefix <= 30) {  // not the network and broadcast addresses
            ++range.first;
            --range.last;
        }
    } else if (dash != std::string::npos) {
        if (!ParseAddress(text.substr(0, dash), range.first, error)
            || !ParseAddress(text.substr(dash + 1), range.last, error))
            return false;
        if (range.first > range.last) {
            error = "scan: " + text + ": the first address is above the last";
            return false;
        }
        if (uint64_t(range.last) - range.first + 1 > kMaxScanAddresses) {
            error = tooLarge;
            return false;
        }
    } else {
        error = "scan: " + text + ": not a range (a.b.c.d/N or FIRST-LAST)";
        return false;
    }
    error = Refused(range);
    return error.empty();
}

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
