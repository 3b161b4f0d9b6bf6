#include "snmp/SnmpRequest.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Pause.h"

namespace {

constexpr unsigned kPauseBeforeBatchMs = 150;
constexpr int kMaxResends = 5;
uint16_t g_portOverride = 0;

// Copies at most size - 1 characters and always terminates.
void CopyCut(char* dest, size_t size, const char* src)
{
    if (size == 0)
        return;
    const size_t len = src ? strnlen(src, size - 1) : 0;
    if (len)
        memcpy(dest, src, len);
    dest[len] = '\0';
}

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
        m_settings.version = SNMP_VERSION_1;
        // snmp_open keeps a copy of the community.
        m_settings.community = reinterpret_cast<u_char*>(const_cast<char*>(community));
        m_settings.community_len = strlen(community);
        SOCK_STARTUP;
        m_session = snmp_open(&m_settings);
        if (!m_session) {
            snmp_perror("ack");
            snmp_log(LOG_ERR, "something horrible happened!!!\n");
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
        fprintf(stderr, "%s: unparsable object identifier\n", text);
    return parsed;
}

bool IsOctetString(const netsnmp_variable_list* var) { return var->type == ASN_OCTET_STR; }

// The printed value, cut to the slot (the library leaves an over-long value
// unterminated in a buffer of the slot's size, so it prints into a roomy one).
void PrintInto(char* slot, size_t slotSize, const netsnmp_variable_list* var)
{
    std::vector<char> buffer(std::max<size_t>(slotSize, var->val_len * 4 + 64), '\0');
    if (snprint_value(buffer.data(), buffer.size(), var->name, var->name_length, var) < 0)
        buffer[buffer.size() - 1] = '\0';
    CopyCut(slot, slotSize, buffer.data());
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

}  // namespace

CSnmpRequest::CSnmpRequest(const char* host, const char* community, uint32_t capacity)
    : m_results(new SnmpVarResult[capacity]()), m_specs(new SnmpVarSpec[capacity]()), m_capacity(capacity), m_count(0)
{
    CopyCut(m_host, sizeof m_host, host);
    CopyCut(m_community, sizeof m_community, community);
}

CSnmpRequest::~CSnmpRequest()
{
    delete[] m_results;
    delete[] m_specs;
}

int CSnmpRequest::AddVar(const char* oid, const char* value, char type)
{
    if (static_cast<uint32_t>(m_count) >= m_capacity)
        return -1;
    if (!oid || oid[0] == '\0')
        return -2;
    SnmpVarSpec& spec = m_specs[m_count];
    CopyCut(spec.oid, sizeof spec.oid, oid);
    spec.type = type;
    CopyCut(spec.value, sizeof spec.value, value);
    ++m_count;
    return 1;
}

int CSnmpRequest::Get()
{
    Sleep(kPauseBeforeBatchMs);
    Session session(m_host, m_community);
    if (!session.get())
        return kNoSession;

    for (uint32_t i = 0; i < m_capacity; ++i) {
        ParsedOid parsed = ParseOid(m_specs[i].oid);
        if (!parsed.ok)
            return kErrorStatus;
        netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_GET);
        snmp_add_null_var(request, parsed.name, parsed.length);
        PduGuard answer;
        if (snmp_synch_response(session.get(), request, &answer.pdu) != STAT_SUCCESS) {
            snmp_sess_perror("snmpget", session.get());
            return kNoAnswer;
        }
        if (answer.pdu->errstat != SNMP_ERR_NOERROR)
            return kErrorStatus;
        for (netsnmp_variable_list* var = answer.pdu->variables; var; var = var->next_variable) {
            SnmpVarResult& slot = m_results[i];
            if (IsOctetString(var))
                PrintInto(slot.text, sizeof slot.text, var);
            else
                FirstWord(var, slot.integer);
        }
    }
    return kOk;
}

int CSnmpRequest::Set()
{
    Sleep(kPauseBeforeBatchMs);
    Session session(m_host, m_community);
    if (!session.get())
        return kNoSession;

    int resends = 0;
    for (uint32_t i = 0; i < m_capacity; ++i) {
        const SnmpVarSpec& spec = m_specs[i];
        ParsedOid parsed = ParseOid(spec.oid);
        if (!parsed.ok)
            return kErrorStatus;
        PduGuard answer;
        for (bool resend = true; resend;) {
            resend = false;
            netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_SET);
            if (snmp_add_var(request, parsed.name, parsed.length, spec.type, spec.value) != 0) {
                // The value text does not suit its type: nothing is sent.
                snmp_perror(spec.oid);
                snmp_free_pdu(request);
                return kErrorStatus;
            }
            netsnmp_pdu* response = nullptr;
            if (snmp_synch_response(session.get(), request, &response) != STAT_SUCCESS) {
                snmp_sess_perror("snmpset", session.get());
                if (response)
                    snmp_free_pdu(response);
                return kNoAnswer;
            }
            answer.reset(response);
            if (answer.pdu->errstat != SNMP_ERR_NOERROR) {
                fprintf(stderr, "Error in packet\nReason: %s\n", snmp_errstring(answer.pdu->errstat));
                return kErrorStatus;
            }
            for (netsnmp_variable_list* var = answer.pdu->variables; var; var = var->next_variable) {
                SnmpVarResult& slot = m_results[i];
                if (IsOctetString(var)) {
                    PrintInto(slot.text, sizeof slot.text, var);
                    continue;
                }
                if (!FirstWord(var, slot.integer) || var->type == ASN_IPADDRESS)
                    continue;
                if (atoi(spec.value) != slot.integer && resends < kMaxResends) {
                    ++resends;
                    resend = true;
                }
            }
        }
    }
    return kOk;
}

const char* CSnmpRequest::GetText(uint32_t i) const { return i < m_capacity ? m_results[i].text : ""; }

int32_t CSnmpRequest::GetInteger(uint32_t i) const { return i < m_capacity ? m_results[i].integer : 0; }

const char* CSnmpRequest::GetLibraryVersion() const { return netsnmp_get_version(); }

void CSnmpRequest::SetPortOverride(uint16_t port) { g_portOverride = port; }
