#include "snmp/SnmpRequest.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <cstring>
#include <vector>

#include "base/BusyHooks.h"
#include "snmp/SnmpExchange.h"
#include "snmp/SnmpOptions.h"
#include "snmp/SnmpTrace.h"

namespace {

constexpr size_t kHostLength = 15;
constexpr size_t kCommunityLength = 12;

std::string Cut(const char* text, size_t length) { return text ? std::string(text, strnlen(text, length)) : std::string(); }

// The local loop of a batch that waits, one per depth of waits inside waits,
// made once and kept for the batches that follow (they go with the
// application object).
class WaitLoop {
public:
    WaitLoop() : m_loop(At(s_depth++)) {}
    ~WaitLoop() { --s_depth; }
    WaitLoop(const WaitLoop&) = delete;
    WaitLoop& operator=(const WaitLoop&) = delete;

    QEventLoop& Loop() { return m_loop; }

private:
    static QEventLoop& At(size_t depth)
    {
        static std::vector<QPointer<QEventLoop>> loops;
        if (loops.size() <= depth)
            loops.resize(depth + 1);
        if (!loops[depth])
            loops[depth] = new QEventLoop(QCoreApplication::instance());
        return *loops[depth];
    }

    static inline size_t s_depth = 0;
    QEventLoop& m_loop;
};

}  // namespace

CSnmpRequest::CSnmpRequest(const char* host, const char* community, uint32_t capacity)
    : m_host(Cut(host, kHostLength)),
      m_community(Cut(community, kCommunityLength)),
      m_results(capacity),
      m_specs(capacity),
      m_capacity(capacity),
      m_count(0)
{
}

CSnmpRequest::~CSnmpRequest() = default;

int CSnmpRequest::AddVar(const char* oid, const char* value, char type)
{
    if (static_cast<uint32_t>(m_count) >= m_capacity)
        return -1;
    if (!oid || oid[0] == '\0')
        return -2;
    SnmpVarSpec& spec = m_specs[m_count];
    spec.oid = oid;
    spec.type = type;
    spec.value = value ? value : "";
    ++m_count;
    return 1;
}

int CSnmpRequest::Get() { return Run(false); }

int CSnmpRequest::Set() { return Run(true); }

// The batch in a local event loop. A handler that was cancelled sends
// nothing more, not even when the cancel and the end of the pause (or an
// answer) come in the same pass of the event loop; a cancel during the batch
// closes its session at once.
int CSnmpRequest::Run(bool set)
{
    const BusyHooks& busy = CurrentBusyHooks();
    if (busy.cancelled()) {
        busy.noteCancelled(set, 0, m_count);
        return kCancelled;
    }
    WaitLoop wait;
    QEventLoop& loop = wait.Loop();
    Begin(
        set, [&loop](int) { loop.quit(); },
        [this, &busy](bool slow) { busy.noteWaitingFor(slow ? QString::fromStdString(m_host) : QString()); }, true,
        busy.cancelled);
    if (m_exchange->Running())
        busy.wait(loop);
    m_exchange->Cancel();
    if (m_exchange->Code() == kCancelled)
        busy.noteCancelled(set, m_exchange->Completed(), m_count);
    return m_exchange->Code();
}

void CSnmpRequest::Start(bool set, Done done, std::function<void(bool)> waiting)
{
    Begin(set, std::move(done), std::move(waiting), false);
}

void CSnmpRequest::Begin(
    bool set, Done done, std::function<void(bool)> waiting, bool doneAtOnce, std::function<bool()> stopped)
{
    m_exchange = std::make_unique<CSnmpExchange>(SnmpSessionSettings {m_host, m_community}, m_specs, m_results);
    m_exchange->StopWhen(std::move(stopped));
    m_exchange->Start(set, std::move(done), std::move(waiting),
        doneAtOnce ? CSnmpExchange::Report::AtOnce : CSnmpExchange::Report::Queued);
}

void CSnmpRequest::Cancel()
{
    if (m_exchange)
        m_exchange->Cancel();
}

bool CSnmpRequest::Running() const { return m_exchange && m_exchange->Running(); }

int CSnmpRequest::Completed() const { return m_exchange ? m_exchange->Completed() : 0; }

const char* CSnmpRequest::GetText(uint32_t i) const { return i < m_capacity ? m_results[i].text.c_str() : ""; }

int32_t CSnmpRequest::GetInteger(uint32_t i) const { return i < m_capacity ? m_results[i].integer : 0; }

const char* CSnmpRequest::GetLibraryVersion() const { return netsnmp_get_version(); }

void CSnmpRequest::SetPortOverride(uint16_t port) { SnmpSessionOptions().port = port; }

void CSnmpRequest::SetTimeoutOverride(long microseconds)
{
    SnmpSessionOptions().timeoutUs = microseconds > 0 ? microseconds : 0;
}

void CSnmpRequest::SetRetriesOverride(int retries) { SnmpSessionOptions().retries = retries >= 0 ? retries : -1; }

bool CSnmpRequest::SetTraceFile(const std::string& path) { return SnmpTrace::Open(path); }

bool CSnmpRequest::SetHostTraceFile(const std::string& host, const std::string& path)
{
    return SnmpTrace::OpenFor(host, path);
}
