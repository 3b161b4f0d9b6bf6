#include "fleet/ModuleScan.h"

#include "snmp/ModuleAddress.h"

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

}  // namespace

bool ParseScanRange(const std::string& text, ScanRange& range, std::string& error)
{
    const size_t slash = text.find('/');
    const size_t dash = text.find('-');
    const std::string tooLarge = text + " is larger than a /16 (65536 addresses); scan it in parts";
    if (slash != std::string::npos) {
        int prefix = 0;
        if (!ParsePrefix(text.substr(slash + 1), prefix)) {
            error = text + ": the prefix after / is not a number from 16 to 32";
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
            error = text + ": the first address is above the last";
            return false;
        }
        if (uint64_t(range.last) - range.first + 1 > kMaxScanAddresses) {
            error = tooLarge;
            return false;
        }
    } else {
        error = text + ": not a range (a.b.c.d/N or FIRST-LAST)";
        return false;
    }
    error = Refused(range);
    return error.empty();
}

CModuleScan::CModuleScan(const ScanRange& range, std::string roCommunity, int jobs)
    : m_range(range), m_community(std::move(roCommunity)), m_probes(range.Size()),
      m_pool(std::make_unique<CCtlPool>(range.Size(), jobs))
{
}

CModuleScan::~CModuleScan() { End(); }

std::string CModuleScan::Host(size_t i) const { return DottedIpv4(m_range.first + uint32_t(i)); }

void CModuleScan::Start(Events events, std::function<bool()> startNoMore)
{
    m_events = std::move(events);
    m_running = true;
    m_pool->Begin([this](size_t i) { StartProbe(i); }, [this](size_t i) { Report(i); }, std::move(startNoMore),
        [this] {
            m_running = false;  // the pool stays: this is its call
            if (m_events.over)
                m_events.over();
        });
}

void CModuleScan::StartProbe(size_t i)
{
    Probe& slot = m_probes[i];
    slot.probe = std::make_unique<CCtlProbe>(Host(i), m_community);
    slot.probe->Start([this, i](const ProbeResult& result) {
        Probe& done = m_probes[i];
        done.result = result;
        done.done = true;
        ++m_done;
        m_answered += result.answered;
        if (m_events.progress)
            m_events.progress();
        m_pool->Finished(i);
    });
}

void CModuleScan::Report(size_t i)
{
    m_reported = i + 1;
    Probe& slot = m_probes[i];
    slot.probe.reset();
    if (slot.result.answered && m_events.found)
        m_events.found(Host(i), slot.result);
}

void CModuleScan::Stop()
{
    if (!m_pool)
        return;
    for (size_t i = m_reported; i < m_pool->Started(); ++i)
        if (m_probes[i].done)
            Report(i);
    End();
}

// Every probe goes, and with it its exchange; the pool's calls still to come
// go with the pool.
void CModuleScan::End()
{
    if (!m_pool)
        return;
    m_asked = m_pool->Started();
    m_running = false;
    m_pool.reset();
    m_probes.clear();
}
