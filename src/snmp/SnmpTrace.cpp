#include "snmp/SnmpTrace.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>

#include "snmp/SnmpRequest.h"

namespace SnmpTrace {
namespace {

// The traffic log: one line per request and one per answer, written only
// here. Lines are flushed at once so that a log survives a crash.
class TraceLog {
public:
    static TraceLog& Instance()
    {
        static TraceLog log;
        return log;
    }
    bool Open(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Close();
        if (path.empty())
            return true;
        m_file = OpenFile(path);
        m_path = path;
        return m_file != nullptr;
    }
    // A log of its own for the requests to `host` (an empty path ends it).
    bool OpenFor(const std::string& host, const std::string& path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_ofHost.find(host);
        if (found != m_ofHost.end()) {
            CloseFile(found->second.file, found->second.path);
            m_ofHost.erase(found);
        }
        if (path.empty())
            return true;
        FILE* file = OpenFile(path);
        if (file)
            m_ofHost[host] = {file, path};
        return file != nullptr;
    }
    bool On() const { return m_file != nullptr || !m_ofHost.empty(); }
    // `peer` is "HOST" or "HOST:PORT".
    void Write(const std::string& peer, const std::string& line)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_ofHost.find(peer.substr(0, peer.find(':')));
        FILE* file = found != m_ofHost.end() ? found->second.file : m_file;
        if (!file)
            return;
        fputs(line.c_str(), file);
        fputc('\n', file);
        fflush(file);
    }

private:
    TraceLog() = default;
    static FILE* OpenFile(const std::string& path)
    {
        FILE* file = fopen(path.c_str(), "w");
        if (!file)
            fprintf(stderr, "%s: %s: cannot open the trace file: %s\n", program_invocation_short_name, path.c_str(),
                strerror(errno));
        return file;
    }
    // Ends a log; a line that could not be written (a full disk) is said.
    static void CloseFile(FILE* file, const std::string& path)
    {
        const bool written = !ferror(file);
        if (fclose(file) != 0 || !written)
            fprintf(stderr, "%s: %s: the trace file is incomplete: %s\n", program_invocation_short_name, path.c_str(),
                strerror(errno));
    }
    void Close()
    {
        if (m_file)
            CloseFile(m_file, m_path);
        m_file = nullptr;
    }

    struct HostLog {
        FILE* file;
        std::string path;
    };
    FILE* m_file = nullptr;
    std::string m_path;
    std::map<std::string, HostLog> m_ofHost;
    std::mutex m_mutex;
};

std::string TraceTime()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local {};
    localtime_r(&seconds, &local);
    char text[40];
    const size_t length = strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    snprintf(text + length, sizeof text - length, ".%03d", static_cast<int>(millis));
    return text;
}

// An octet string in double quotes, bytes outside printable ASCII (and the
// quote and backslash) as \xNN, so that a line never breaks.
std::string QuotedBytes(const unsigned char* bytes, size_t length)
{
    std::string text = "\"";
    for (size_t i = 0; i < length; ++i) {
        const unsigned char byte = bytes[i];
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text + "\"";
}

// Type letter and value text of an answer's variable.
std::string TraceValue(const netsnmp_variable_list* var)
{
    if (!var)
        return "- -";
    char text[64];
    switch (var->type) {
    case ASN_OCTET_STR: return "s " + QuotedBytes(var->val.string, var->val_len);
    case ASN_INTEGER:
        snprintf(text, sizeof text, "i %ld", var->val.integer ? *var->val.integer : 0L);
        return text;
    case ASN_IPADDRESS:
        if (var->val.string && var->val_len == 4) {
            snprintf(text, sizeof text, "a %u.%u.%u.%u", var->val.string[0], var->val.string[1], var->val.string[2],
                     var->val.string[3]);
            return text;
        }
        return "a ?";
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS: {
        const char letter = var->type == ASN_COUNTER ? 'c' : var->type == ASN_GAUGE ? 'g' : 't';
        snprintf(text, sizeof text, "%c %lu", letter,
                 var->val.integer ? static_cast<unsigned long>(*var->val.integer) & 0xFFFFFFFFul : 0ul);
        return text;
    }
    case ASN_NULL: return "- -";
    default: snprintf(text, sizeof text, "0x%02X ?", var->type); return text;
    }
}

std::string RequestValue(const SnmpVarSpec& spec)
{
    if (!spec.type)
        return "- -";
    std::string value = spec.value;
    if (spec.type == 's')
        value = QuotedBytes(reinterpret_cast<const unsigned char*>(spec.value.data()), spec.value.size());
    return std::string(1, spec.type) + " " + value;
}

}  // namespace

// "TIME HOST > GET|SET OID TYPE VALUE"
void Request(const char* peer, bool set, const SnmpVarSpec& spec)
{
    if (!TraceLog::Instance().On())
        return;
    TraceLog::Instance().Write(peer, TraceTime() + " " + peer + (set ? " > SET " : " > GET ") + spec.oid + " " +
                               (set ? RequestValue(spec) : std::string("- -")));
}

// "TIME HOST < GET|SET OID TYPE VALUE status=S rtt=Nms resends=R"; S is the
// answer's error status, or "timeout" / "failed" when none came.
void Answer(const char* peer, bool set, const std::string& oidText, int status, const snmp_pdu* answer,
                 Clock::time_point sent, int resends)
{
    if (!TraceLog::Instance().On())
        return;
    const long long rtt =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count();
    std::string statusText;
    const netsnmp_variable_list* var = nullptr;
    if (status == STAT_SUCCESS && answer) {
        statusText = std::to_string(answer->errstat);
        var = answer->variables;
    } else {
        statusText = status == STAT_TIMEOUT ? "timeout" : "failed";
    }
    std::string oidShown = oidText;
    if (var) {
        oidShown.clear();
        for (size_t i = 0; i < var->name_length; ++i)
            oidShown += "." + std::to_string(var->name[i]);
    }
    TraceLog::Instance().Write(peer, TraceTime() + " " + peer + (set ? " < SET " : " < GET ") + oidShown + " " +
                               TraceValue(var) + " status=" + statusText + " rtt=" + std::to_string(rtt) +
                               "ms resends=" + std::to_string(resends));
}


bool Open(const std::string& path) { return TraceLog::Instance().Open(path); }

bool OpenFor(const std::string& host, const std::string& path) { return TraceLog::Instance().OpenFor(host, path); }

}  // namespace SnmpTrace
