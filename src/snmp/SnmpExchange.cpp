#include "snmp/SnmpExchange.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

struct ParsedOid {
    oid name[MAX_OID_LEN];
    size_t length = MAX_OID_LEN;
    bool ok = false;
};

ParsedOid ParseOid(const char* text)
{
    ParsedOid parsed;
    parsed.length = MAX_OID_LEN;
    parsed.ok = text[0] != '\0' && read_objid(text, parsed.name, &parsed.length) != 0;
    return parsed;
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
const netsnmp_variable_list* AnswerTo(const netsnmp_pdu* answer, const ParsedOid& asked)
{
    const netsnmp_variable_list* var = answer->variables;
    if (!var || var->next_variable)
        return nullptr;
    if (snmp_oid_compare(var->name, var->name_length, asked.name, asked.length) != 0)
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

int MillisecondsOf(const timeval& tv)
{
    const long long ms = (static_cast<long long>(tv.tv_sec) * 1000000 + tv.tv_usec + 999) / 1000;
    return static_cast<int>(std::clamp<long long>(ms, 0, 24 * 3600 * 1000));
}

}  // namespace

CSnmpExchange::CSnmpExchange(
    const SnmpSessionSettings& settings, const std::vector<SnmpVarSpec>& specs, std::vector<SnmpVarResult>& results)
    : m_settings(settings), m_specs(specs), m_results(results)
{
    m_timeout.setSingleShot(true);
    m_timeout.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timeout, &QTimer::timeout, &m_context, [this] { OnTimeout(); });
    m_slow.setSingleShot(true);
    m_slow.setInterval(kSlowAnswerMs);
    QObject::connect(&m_slow, &QTimer::timeout, &m_context, [this] {
        m_slowShown = true;
        if (m_waiting)
            m_waiting(true);
    });
}

CSnmpExchange::~CSnmpExchange()
{
    m_done = nullptr;
    m_waiting = nullptr;
    CloseSession();
}

void CSnmpExchange::Start(bool set, Done done, std::function<void(bool)> waiting)
{
    m_set = set;
    m_done = std::move(done);
    m_waiting = std::move(waiting);
    m_running = true;
    m_index = 0;
    m_completed = 0;
    m_resends = 0;
    PauseThen(kPauseBeforeBatchMs, &m_context, [this] { Open(); });
}

void CSnmpExchange::Cancel()
{
    m_done = nullptr;
    if (!m_running)
        return;
    CloseSession();
    Finish(CSnmpRequest::kCancelled);
}

// One SNMPv1 session for the rest of the batch.
void CSnmpExchange::Open()
{
    if (!m_running)
        return;
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
    const SnmpVarSpec& spec = m_specs[m_index];
    const ParsedOid parsed = ParseOid(spec.oid.c_str());
    if (!parsed.ok) {
        CloseSession();
        Finish(CSnmpRequest::kErrorStatus);
        return;
    }
    netsnmp_pdu* request = snmp_pdu_create(m_set ? SNMP_MSG_SET : SNMP_MSG_GET);
    if (!m_set) {
        snmp_add_null_var(request, parsed.name, parsed.length);
    } else if (snmp_add_var(request, parsed.name, parsed.length, spec.type, spec.value.c_str()) != 0) {
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
    m_slow.start();
    Watch();
}

// The socket to watch and the time of the library's next time-out.
void CSnmpExchange::Watch()
{
    int fds = 0;
    int block = 1;
    timeval tv {};
    netsnmp_large_fd_set set;
    netsnmp_large_fd_set_init(&set, FD_SETSIZE);
    snmp_sess_select_info2(m_session, &fds, &set, &tv, &block);
    int socket = -1;
    for (int fd = 0; fd < fds && socket < 0; ++fd) {
        if (NETSNMP_LARGE_FD_ISSET(fd, &set))
            socket = fd;
    }
    netsnmp_large_fd_set_cleanup(&set);
    if (socket >= 0 && (!m_notifier || m_notifier->socket() != socket)) {
        m_notifier = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &m_context, [this] { OnReadable(); });
    }
    if (block)
        m_timeout.stop();
    else
        m_timeout.start(MillisecondsOf(tv));
}

void CSnmpExchange::OnReadable()
{
    if (!m_session || !m_notifier)
        return;
    netsnmp_large_fd_set set;
    netsnmp_large_fd_set_init(&set, FD_SETSIZE);
    NETSNMP_LARGE_FD_SET(m_notifier->socket(), &set);
    snmp_sess_read2(m_session, &set);
    netsnmp_large_fd_set_cleanup(&set);
    TakeAnswer();
}

void CSnmpExchange::OnTimeout()
{
    if (!m_session)
        return;
    snmp_sess_timeout(m_session);  // re-sends, or reports the time-out through the callback
    TakeAnswer();
}

int CSnmpExchange::OnLibraryCallback(int operation, snmp_session*, int, snmp_pdu* pdu, void* magic)
{
    auto* self = static_cast<CSnmpExchange*>(magic);
    if (!self->m_running || self->m_answered)
        return 1;
    if (operation == NETSNMP_CALLBACK_OP_RESEND)
        return 1;  // the library sends the request again: not an answer
    self->m_answered = true;
    switch (operation) {
    case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE:
        self->m_answerStatus = STAT_SUCCESS;
        self->m_answer = snmp_clone_pdu(pdu);
        break;
    case NETSNMP_CALLBACK_OP_TIMED_OUT: self->m_answerStatus = STAT_TIMEOUT; break;
    default: self->m_answerStatus = STAT_ERROR; break;
    }
    return 1;
}

// Handles an answer once the library's call has returned, so that the next
// request (or the end of the batch) never runs inside the library.
void CSnmpExchange::TakeAnswer()
{
    if (!m_answered) {
        if (m_session)
            Watch();
        return;
    }
    m_answered = false;
    snmp_pdu* answer = m_answer;
    m_answer = nullptr;
    Process(m_answerStatus, answer);
    if (answer)
        snmp_free_pdu(answer);
}

void CSnmpExchange::Process(int status, snmp_pdu* answer)
{
    m_slow.stop();
    if (m_slowShown) {
        m_slowShown = false;
        if (m_waiting)
            m_waiting(false);
    }
    const SnmpVarSpec& spec = m_specs[m_index];
    SnmpTrace::Answer(m_peer, m_set, spec.oid, status, answer, m_sent, m_resendsOfThis);
    if (status != STAT_SUCCESS || !answer) {
        CloseSession();
        Finish(CSnmpRequest::kNoAnswer);
        return;
    }
    if (answer->errstat != SNMP_ERR_NOERROR) {
        CloseSession();
        Finish(CSnmpRequest::kErrorStatus);
        return;
    }
    const ParsedOid parsed = ParseOid(spec.oid.c_str());
    const netsnmp_variable_list* var = AnswerTo(answer, parsed);
    if (!var) {
        CloseSession();
        Finish(CSnmpRequest::kErrorStatus);
        return;
    }
    SnmpVarResult& slot = m_results[m_index];
    const bool word = Store(var, slot);
    // A written number that reads back otherwise is written again, a few
    // times in all per batch.
    if (m_set && word && var->type != ASN_IPADDRESS && atoi(spec.value.c_str()) != slot.integer
        && m_resends < kMaxResends) {
        ++m_resends;
        ++m_resendsOfThis;
        SendCurrent();
        return;
    }
    Next();
}

void CSnmpExchange::Next()
{
    ++m_completed;
    ++m_index;
    m_resendsOfThis = 0;
    SendCurrent();
}

// `done` comes from the event loop, so that its caller may end the run (and
// destroy this object) there.
void CSnmpExchange::Finish(int code)
{
    m_running = false;
    m_code = code;
    m_slow.stop();
    m_timeout.stop();
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            Done done = std::move(m_done);
            m_done = nullptr;
            if (done)
                done(m_code);
        },
        Qt::QueuedConnection);
}

void CSnmpExchange::CloseSession()
{
    m_timeout.stop();
    m_slow.stop();
    m_notifier.reset();
    if (m_answer) {
        snmp_free_pdu(m_answer);
        m_answer = nullptr;
    }
    m_answered = false;
    if (!m_session)
        return;
    void* session = m_session;
    m_session = nullptr;
    snmp_sess_close(session);
    SOCK_CLEANUP;
}
