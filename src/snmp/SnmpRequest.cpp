#include "snmp/SnmpRequest.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Pause.h"
#include "snmp/SnmpTrace.h"

namespace {

constexpr unsigned kPauseBeforeBatchMs = 150;
constexpr int kMaxResends = 5;
uint16_t g_portOverride = 0;
long g_timeoutOverride = 0;  // microseconds
int g_retriesOverride = -1;
bool g_quiet = false;  // no library diagnostics on standard error

constexpr size_t kHostLength = 15;
constexpr size_t kCommunityLength = 12;

std::string Cut(const char* text, size_t length) { return text ? std::string(text, strnlen(text, length)) : std::string(); }

// One SNMPv1 session for the duration of one Get or Set call.
class Session {
public:
    Session(const char* host, const char* community)
    {
        init_snmp("snmpapp");
        snmp_sess_init(&m_settings);
        if (g_portOverride)
            snprintf(m_peer, sizeof m_peer, "%s:%u", host, static_cast<unsigned>(g_portOverride));
        else
            snprintf(m_peer, sizeof m_peer, "%s", host);
        m_settings.peername = m_peer;
        if (g_timeoutOverride > 0)
            m_settings.timeout = g_timeoutOverride;
        if (g_retriesOverride >= 0)
            m_settings.retries = g_retriesOverride;
        m_settings.version = SNMP_VERSION_1;
        // snmp_open keeps a copy of the community.
        m_settings.community = reinterpret_cast<u_char*>(const_cast<char*>(community));
        m_settings.community_len = strlen(community);
        SOCK_STARTUP;
        m_session = snmp_open(&m_settings);
        if (!m_session) {
            if (!g_quiet) {
                snmp_perror("ack");
                snmp_log(LOG_ERR, "something horrible happened!!!\n");
            }
        }
    }
    ~Session()
    {
        if (m_session)
            snmp_close(m_session);
        SOCK_CLEANUP;
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    netsnmp_session* get() const { return m_session; }
    const char* peer() const { return m_peer; }

private:
    netsnmp_session m_settings {};
    netsnmp_session* m_session = nullptr;
    char m_peer[32] = {};
};

// Frees an answer when it goes out of scope.
struct PduGuard {
    netsnmp_pdu* pdu = nullptr;
    ~PduGuard()
    {
        if (pdu)
            snmp_free_pdu(pdu);
    }
    void reset(netsnmp_pdu* next)
    {
        if (pdu)
            snmp_free_pdu(pdu);
        pdu = next;
    }
};

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
    if (!parsed.ok)
        if (!g_quiet)
            fprintf(stderr, "%s: unparsable object identifier\n", text);
    return parsed;
}

bool IsOctetString(const netsnmp_variable_list* var) { return var->type == ASN_OCTET_STR; }

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
    if (IsOctetString(var)) {
        slot.text = Printed(var);
        return false;
    }
    return FirstWord(var, slot.integer);
}

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

int CSnmpRequest::Get()
{
    Sleep(kPauseBeforeBatchMs);
    Session session(m_host.c_str(), m_community.c_str());
    if (!session.get())
        return kNoSession;

    for (uint32_t i = 0; i < m_capacity; ++i) {
        ParsedOid parsed = ParseOid(m_specs[i].oid.c_str());
        if (!parsed.ok)
            return kErrorStatus;
        netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_GET);
        snmp_add_null_var(request, parsed.name, parsed.length);
        PduGuard answer;
        SnmpTrace::Request(session.peer(), false, m_specs[i]);
        const auto sent = SnmpTrace::Clock::now();
        const int status = snmp_synch_response(session.get(), request, &answer.pdu);
        SnmpTrace::Answer(session.peer(), false, m_specs[i].oid, status, answer.pdu, sent, 0);
        if (status != STAT_SUCCESS) {
            if (!g_quiet)
                snmp_sess_perror("snmpget", session.get());
            return kNoAnswer;
        }
        if (answer.pdu->errstat != SNMP_ERR_NOERROR)
            return kErrorStatus;
        const netsnmp_variable_list* var = AnswerTo(answer.pdu, parsed);
        if (!var)
            return kErrorStatus;
        Store(var, m_results[i]);
    }
    return kOk;
}

int CSnmpRequest::Set()
{
    Sleep(kPauseBeforeBatchMs);
    Session session(m_host.c_str(), m_community.c_str());
    if (!session.get())
        return kNoSession;

    int resends = 0;
    for (uint32_t i = 0; i < m_capacity; ++i) {
        const SnmpVarSpec& spec = m_specs[i];
        ParsedOid parsed = ParseOid(spec.oid.c_str());
        if (!parsed.ok)
            return kErrorStatus;
        PduGuard answer;
        int resendsOfThis = 0;  // for the traffic log
        for (bool resend = true; resend;) {
            resend = false;
            netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_SET);
            if (snmp_add_var(request, parsed.name, parsed.length, spec.type, spec.value.c_str()) != 0) {
                // The value text does not suit its type: nothing is sent.
                if (!g_quiet)
                    snmp_perror(spec.oid.c_str());
                snmp_free_pdu(request);
                return kErrorStatus;
            }
            netsnmp_pdu* response = nullptr;
            SnmpTrace::Request(session.peer(), true, spec);
            const auto sent = SnmpTrace::Clock::now();
            const int status = snmp_synch_response(session.get(), request, &response);
            SnmpTrace::Answer(session.peer(), true, spec.oid, status, response, sent, resendsOfThis);
            if (status != STAT_SUCCESS) {
                if (!g_quiet)
                    snmp_sess_perror("snmpset", session.get());
                if (response)
                    snmp_free_pdu(response);
                return kNoAnswer;
            }
            answer.reset(response);
            if (answer.pdu->errstat != SNMP_ERR_NOERROR) {
                if (!g_quiet)
                    fprintf(stderr, "Error in packet\nReason: %s\n", snmp_errstring(answer.pdu->errstat));
                return kErrorStatus;
            }
            const netsnmp_variable_list* var = AnswerTo(answer.pdu, parsed);
            if (!var)
                return kErrorStatus;
            SnmpVarResult& slot = m_results[i];
            if (!Store(var, slot) || var->type == ASN_IPADDRESS)
                continue;
            if (atoi(spec.value.c_str()) != slot.integer && resends < kMaxResends) {
                ++resends;
                ++resendsOfThis;
                resend = true;
            }
        }
    }
    return kOk;
}

const char* CSnmpRequest::GetText(uint32_t i) const { return i < m_capacity ? m_results[i].text.c_str() : ""; }

int32_t CSnmpRequest::GetInteger(uint32_t i) const { return i < m_capacity ? m_results[i].integer : 0; }

const char* CSnmpRequest::GetLibraryVersion() const { return netsnmp_get_version(); }

void CSnmpRequest::SetPortOverride(uint16_t port) { g_portOverride = port; }

void CSnmpRequest::SetTimeoutOverride(long microseconds) { g_timeoutOverride = microseconds > 0 ? microseconds : 0; }

void CSnmpRequest::SetRetriesOverride(int retries) { g_retriesOverride = retries >= 0 ? retries : -1; }

void CSnmpRequest::SetQuiet(bool quiet) { g_quiet = quiet; }

bool CSnmpRequest::SetTraceFile(const std::string& path) { return SnmpTrace::Open(path); }
