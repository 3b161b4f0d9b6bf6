#include "snmp/SnmpExchange.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "base/Pause.h"
#include "snmp/SnmpOptions.h"
#include "snmp/SnmpTrace.h"

SnmpOptions& SnmpSessionOptions()
{
    static SnmpOptions options;
    return options;
}

namespace {

constexpr int kMaxResends = 5;

// The library's own diagnostics ("snmpget: Timeout", "Created directory:
// ..." on a first run) never reach standard error: each failure reaches the
// operator in the tool's own words (a status line, one line of kalvorctl).
// The library writes to standard error while no log handler is enabled, so
// one that drops everything is, before the library first starts.
void SilenceLibraryLog()
{
    static const bool silenced = netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_DEBUG) != nullptr;
    (void)silenced;
}

static_assert(std::is_same_v<oid, unsigned long>, "object identifiers are kept as unsigned long");

// `text` parsed into `name` (its capacity kept from request to request).
bool ParseOid(const char* text, std::vector<oid>& name)
{
    size_t length = MAX_OID_LEN;
    name.resize(MAX_OID_LEN);
    const bool ok = text[0] != '\0' && read_objid(text, name.data(), &length) != 0;
    name.resize(ok ? length : 0);
    return ok;
}

// The whole printed value (the library reports a value too long for its
// buffer by a negative length, so the buffer grows until it fits).
std::string Printed(const netsnmp_variable_list* var)
{
    for (size_t size = var->val_len * 4 + 64;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        if (snprint_value(buffer.data(), buffer.size(), var->name, var->name_length, var) >= 0)
            return buffer.data();
        if (size > (1u << 24))
            return std::string();
    }
}

// The first 32 bits of the value buffer (for an IpAddress: the address bytes
// in wire order, read as a little-endian number).
bool FirstWord(const netsnmp_variable_list* var, int32_t& word)
{
    if (!var->val.string || var->val_len == 0)
        return false;
    word = 0;
    memcpy(&word, var->val.string, std::min<size_t>(sizeof word, var->val_len));
    return true;
}

bool FitsWord(const netsnmp_variable_list* var)
{
    if (!var->val.integer || var->val_len < sizeof(long))
        return var->val_len <= sizeof(int32_t);
    const long value = *var->val.integer;
    if (var->type == ASN_INTEGER)
        return value >= INT32_MIN && value <= INT32_MAX;
    return value >= 0 && static_cast<unsigned long>(value) <= UINT32_MAX;
}

// The one variable of an answer to a request for `asked`, or nullptr when
// the answer does not answer it.
const netsnmp_variable_list* AnswerTo(const netsnmp_pdu* answer, const std::vector<oid>& asked)
{
    const netsnmp_variable_list* var = answer->variables;
    if (!var || var->next_variable)
        return nullptr;
    if (snmp_oid_compare(var->name, var->name_length, asked.data(), asked.size()) != 0)
        return nullptr;
    switch (var->type) {
    case ASN_OCTET_STR: return var;
    case ASN_INTEGER:
    case ASN_IPADDRESS:
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS: return FitsWord(var) ? var : nullptr;
    default: return nullptr;
    }
}

// Stores the answer's value in `slot`; false when it holds no word.
bool Store(const netsnmp_variable_list* var, SnmpVarResult& slot)
{
    if (var->type == ASN_OCTET_STR) {
        slot.text = Printed(var);
        return false;
    }
    return FirstWord(var, slot.integer);
}

std::chrono::microseconds DurationOf(const timeval& tv)
{
    const long long us = static_cast<long long>(tv.tv_sec) * 1000000 + tv.tv_usec;
    return std::chrono::microseconds(std::clamp<long long>(us, 0, 24LL * 3600 * 1000000));
}

}  // namespace

// The sessions' sockets, each watched by a notifier that outlives its
// session. Switching a notifier on or off makes the event loop wake and look
// again, so the notifier of a socket that was closed stays on until the event
// loop next polls: a batch that follows at once opens its socket before
// that, gets the same number back (the lowest free one) and the notifier
// serves it as it is. Only when the event loop is about to poll with a
// closed socket's notifier still on does it go off. The notifiers go with
// the application object.
class SocketWatch : public QObject {
public:
    // `exchange` hears when `socket` is readable.
    static void Watch(int socket, CSnmpExchange* exchange)
    {
        SocketWatch& watch = Instance();
        watch.m_closed.erase(std::remove(watch.m_closed.begin(), watch.m_closed.end(), socket), watch.m_closed.end());
        Slot& slot = watch.m_slots[socket];
        slot.exchange = exchange;
        if (!slot.notifier) {
            slot.notifier = new QSocketNotifier(socket, QSocketNotifier::Read, &watch);
            connect(slot.notifier, &QSocketNotifier::activated, &watch, [&watch, socket] { watch.Readable(socket); });
        }
        slot.notifier->setEnabled(true);
    }
    // `socket` is about to be closed; its notifier stays on for now.
    static void Closing(int socket)
    {
        SocketWatch& watch = Instance();
        watch.m_slots[socket].exchange = nullptr;
        watch.m_closed.push_back(socket);
    }

private:
    struct Slot {
        QSocketNotifier* notifier = nullptr;
        CSnmpExchange* exchange = nullptr;
    };

    explicit SocketWatch(QObject* parent) : QObject(parent)
    {
        // A turn of the event loop that may wait starts with aboutToBlock and
        // ends with awake; one that may not starts with awake.
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
            connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
                m_inTurn = true;
                OffWhenClosed();
            });
            connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] {
                if (!std::exchange(m_inTurn, false))
                    OffWhenClosed();
            });
        }
    }

    static SocketWatch& Instance()
    {
        static QPointer<SocketWatch> instance;
        if (!instance)
            instance = new SocketWatch(QCoreApplication::instance());
        return *instance;
    }
    void OffWhenClosed()
    {
        for (int socket : m_closed)
            if (QSocketNotifier* notifier = m_slots[socket].notifier)
                notifier->setEnabled(false);
        m_closed.clear();
    }
    void Readable(int socket)
    {
        const auto found = m_slots.find(socket);
        if (found != m_slots.end() && found->second.exchange)
            found->second.exchange->OnReadable();
    }

    std::unordered_map<int, Slot> m_slots;
    std::vector<int> m_closed;  // closed sockets whose notifiers are still on
    bool m_inTurn = false;  // between aboutToBlock and awake
};

CSnmpExchange::CSnmpExchange(
    const SnmpSessionSettings& settings, const std::vector<SnmpVarSpec>& specs, std::vector<SnmpVarResult>& results)
    : m_settings(settings), m_specs(specs), m_results(results)
{
}

CSnmpExchange::~CSnmpExchange()
{
    m_done = nullptr;
    m_waiting = nullptr;
    CloseSession();
}

void CSnmpExchange::Start(bool set, Done done, std::function<void(bool)> waiting, enum Report report)
{
    m_set = set;
    m_done = std::move(done);
    m_waiting = std::move(waiting);
    m_report = report;
    m_running = true;
    m_index = 0;
    m_completed = 0;
    m_resends = 0;
    Open();  // sends nothing: the socket is ready before the pause
    m_pause.start(static_cast<int>(PauseLength(kPauseBeforeBatchMs)), Qt::PreciseTimer, this);
}

void CSnmpExchange::Cancel()
{
    m_done = nullptr;
    if (!m_running)
        return;
    CloseSession();
    Finish(CSnmpRequest::kCancelled);
}

// One SNMPv1 session for the batch.
void CSnmpExchange::Open()
{
    SilenceLibraryLog();
    init_snmp("snmpapp");
    netsnmp_session settings {};
    snmp_sess_init(&settings);
    const SnmpOptions& options = SnmpSessionOptions();
    if (options.port)
        snprintf(m_peer, sizeof m_peer, "%s:%u", m_settings.host.c_str(), static_cast<unsigned>(options.port));
    else
        snprintf(m_peer, sizeof m_peer, "%s", m_settings.host.c_str());
    settings.peername = m_peer;
    if (options.timeoutUs > 0)
        settings.timeout = options.timeoutUs;
    if (options.retries >= 0)
        settings.retries = options.retries;
    settings.version = SNMP_VERSION_1;
    // The session keeps a copy of the community.
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>(m_settings.community.c_str()));
    settings.community_len = m_settings.community.size();
    SOCK_STARTUP;
    m_session = snmp_sess_open(&settings);
    if (!m_session) {
        SOCK_CLEANUP;
        return;
    }
    m_socket = snmp_sess_transport(m_session)->sock;
    SocketWatch::Watch(m_socket, this);
}

// After the pause: the first request, or the session that did not open.
void CSnmpExchange::Begin()
{
    if (!m_running)
        return;
    if (!m_session) {
        Finish(CSnmpRequest::kNoSession);
        return;
    }
    SendCurrent();
}

void CSnmpExchange::SendCurrent()
{
    if (m_index >= m_specs.size()) {
        CloseSession();
        Finish(CSnmpRequest::kOk);
        return;
    }
    if (StoppedBeforeSending())
        return;
    const SnmpVarSpec& spec = m_specs[m_index];
    if (!ParseOid(spec.oid.c_str(), m_oid)) {
        CloseSession();
        Finish(CSnmpRequest::kErrorStatus);
        return;
    }
    netsnmp_pdu* request = snmp_pdu_create(m_set ? SNMP_MSG_SET : SNMP_MSG_GET);
    if (!m_set) {
        snmp_add_null_var(request, m_oid.data(), m_oid.size());
    } else if (snmp_add_var(request, m_oid.data(), m_oid.size(), spec.type, spec.value.c_str()) != 0) {
        // The value text does not suit its type: nothing is sent.
        snmp_free_pdu(request);
        CloseSession();
        Finish(CSnmpRequest::kErrorStatus);
        return;
    }
    SnmpTrace::Request(m_peer, m_set, spec);
    m_sent = SnmpTrace::Clock::now();
    if (snmp_sess_async_send(m_session, request, &CSnmpExchange::OnLibraryCallback, this) == 0) {
        snmp_free_pdu(request);
        SnmpTrace::Answer(m_peer, m_set, spec.oid, STAT_ERROR, nullptr, m_sent, m_resendsOfThis);
        CloseSession();
        Finish(CSnmpRequest::kNoAnswer);
        return;
    }
    m_awaiting = true;
    m_slowDue = m_sent + std::chrono::milliseconds(kSlowAnswerMs);
    Watch();
}

// The time of the library's next time-out (the socket is watched from the
// session's start).
void CSnmpExchange::Watch()
{
    int fds = 0;
    int block = 1;
    timeval tv {};
    netsnmp_large_fd_set set;
    netsnmp_large_fd_set_init(&set, FD_SETSIZE);
    snmp_sess_select_info2(m_session, &fds, &set, &tv, &block);
    netsnmp_large_fd_set_cleanup(&set);
    m_libraryWaits = !block;
    if (m_libraryWaits) {
        m_libraryDue = Clock::now() + DurationOf(tv);
        WakeAt(m_libraryDue);
    }
    if (!m_slowShown)
        WakeAt(m_slowDue);
}

// The timer is set again only when `when` comes before it would go off.
void CSnmpExchange::WakeAt(Clock::time_point when)
{
    if (m_wake.isActive() && when >= m_wakeAt)
        return;
    m_wakeAt = when;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now());
    m_wake.start(std::max<int>(0, static_cast<int>(wait.count())), Qt::PreciseTimer, this);
}

void CSnmpExchange::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_wake.timerId()) {
        OnWake();
    } else if (event->timerId() == m_pause.timerId()) {
        m_pause.stop();
        Begin();
    } else {
        QObject::timerEvent(event);
    }
}

// The slow-answer note before the library's time-out, when both are due.
void CSnmpExchange::OnWake()
{
    m_wake.stop();
    if (!m_session)
        return;
    const Clock::time_point now = Clock::now();
    if (!m_slowShown && now >= m_slowDue) {
        m_slowShown = true;
        if (m_waiting)
            m_waiting(true);
        if (!m_session)
            return;  // cancelled meanwhile
    }
    if (m_libraryWaits && now >= m_libraryDue) {
        if (StoppedBeforeSending())
            return;
        snmp_sess_timeout(m_session);  // re-sends, or reports the time-out through the callback
        TakeAnswer();
        return;
    }
    Watch();
}

// Nothing is read while no request is out (during the pause before the
// first one): there is nothing to wait for, and the read would wait.
void CSnmpExchange::OnReadable()
{
    if (!m_session || !m_awaiting)
        return;
    netsnmp_large_fd_set set;
    netsnmp_large_fd_set_init(&set, FD_SETSIZE);
    NETSNMP_LARGE_FD_SET(m_socket, &set);
    snmp_sess_read2(m_session, &set);
    netsnmp_large_fd_set_cleanup(&set);
    TakeAnswer();
}

int CSnmpExchange::OnLibraryCallback(int operation, snmp_session*, int, snmp_pdu* pdu, void* magic)
{
    auto* self = static_cast<CSnmpExchange*>(magic);
    if (!self->m_running || self->m_verdict != Verdict::None)
        return 1;
    if (operation == NETSNMP_CALLBACK_OP_RESEND)
        return 1;  // the library sends the request again: not an answer
    switch (operation) {
    case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE: self->m_verdict = self->Judge(STAT_SUCCESS, pdu); break;
    case NETSNMP_CALLBACK_OP_TIMED_OUT: self->m_verdict = self->Judge(STAT_TIMEOUT, nullptr); break;
    default: self->m_verdict = self->Judge(STAT_ERROR, nullptr); break;
    }
    return 1;
}

// What the answer means for the batch; its value is stored. Nothing is sent
// from here: the library is still in the middle of its call.
CSnmpExchange::Verdict CSnmpExchange::Judge(int status, const snmp_pdu* answer)
{
    const SnmpVarSpec& spec = m_specs[m_index];
    SnmpTrace::Answer(m_peer, m_set, spec.oid, status, answer, m_sent, m_resendsOfThis);
    m_answerStatus = status;
    m_errorStatus = 0;
    if (status != STAT_SUCCESS || !answer)
        return Verdict::NoAnswer;
    if (answer->errstat != SNMP_ERR_NOERROR) {
        m_errorStatus = answer->errstat;
        return Verdict::Refused;
    }
    const netsnmp_variable_list* var = AnswerTo(answer, m_oid);
    if (!var)
        return Verdict::Refused;
    SnmpVarResult& slot = m_results[m_index];
    const bool word = Store(var, slot);
    // A written number that reads back otherwise is written again, a few
    // times in all per batch.
    if (m_set && word && var->type != ASN_IPADDRESS && atoi(spec.value.c_str()) != slot.integer
        && m_resends < kMaxResends)
        return Verdict::Resend;
    return Verdict::Answered;
}

// Acts on the answer once the library's call has returned, so that the next
// request (or the end of the batch) never runs inside the library.
void CSnmpExchange::TakeAnswer()
{
    const Verdict verdict = m_verdict;
    m_verdict = Verdict::None;
    if (verdict == Verdict::None) {
        if (m_session)
            Watch();
        return;
    }
    m_awaiting = false;
    if (m_slowShown) {
        m_slowShown = false;
        if (m_waiting)
            m_waiting(false);
    }
    switch (verdict) {
    case Verdict::None:
    case Verdict::Answered: Next(); return;
    case Verdict::Resend:
        ++m_resends;
        ++m_resendsOfThis;
        SendCurrent();
        return;
    case Verdict::NoAnswer:
        CloseSession();
        Finish(CSnmpRequest::kNoAnswer);
        return;
    case Verdict::Refused:
        CloseSession();
        Finish(CSnmpRequest::kErrorStatus);
        return;
    }
}

void CSnmpExchange::Next()
{
    ++m_completed;
    ++m_index;
    m_resendsOfThis = 0;
    SendCurrent();
}

bool CSnmpExchange::StoppedBeforeSending()
{
    if (!m_stopped || !m_stopped())
        return false;
    CloseSession();
    Finish(CSnmpRequest::kCancelled);
    return true;
}

void CSnmpExchange::Finish(int code)
{
    m_running = false;
    m_code = code;
    m_wake.stop();
    if (m_report == Report::AtOnce)
        Deliver();
    else
        QMetaObject::invokeMethod(this, [this] { Deliver(); }, Qt::QueuedConnection);
}

void CSnmpExchange::Deliver()
{
    Done done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(m_code);
}

void CSnmpExchange::CloseSession()
{
    m_wake.stop();
    m_awaiting = false;
    m_verdict = Verdict::None;
    if (!m_session)
        return;
    void* session = m_session;
    m_session = nullptr;
    if (m_socket >= 0)
        SocketWatch::Closing(m_socket);
    m_socket = -1;
    snmp_sess_close(session);
    SOCK_CLEANUP;
}
