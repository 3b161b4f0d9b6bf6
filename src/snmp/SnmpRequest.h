#pragma once
// One batch of SNMPv1 variables for one module address and one community.
// Every variable travels in a request of its own, one after the other, over
// one session that lives for the duration of one Get or Set call.

#include <cstdint>
#include <string>

struct SnmpVarSpec {
    char oid[256];  // numeric dotted text with a leading dot
    char value[64];  // value to write, empty for reads
    char type;  // snmp_add_var letter: 'i', 'a', 's', 'x'; 0 for reads
};

struct SnmpVarResult {
    char text[256];  // printed value, for octet strings only
    int32_t integer;  // value of any other type
};

class CSnmpRequest {
public:
    // Return codes of Get and Set.
    enum : int {
        kOk = 0,
        kErrorStatus = -1,  // the module answered with a non-zero error status
        kNoAnswer = -2,  // time-out or transport failure
        kNoSession = -3,  // the session could not be opened
    };

    CSnmpRequest(const char* host, const char* community, uint32_t capacity);
    virtual ~CSnmpRequest();
    CSnmpRequest(const CSnmpRequest&) = delete;
    CSnmpRequest& operator=(const CSnmpRequest&) = delete;

    // 1 when stored, -1 when the batch is full, -2 for an empty OID text.
    // Texts longer than their slot are cut to it.
    int AddVar(const char* oid, const char* value, char type);
    int Get();
    int Set();

    // Text and integer of result slot i; "" and 0 outside the capacity.
    const char* GetText(uint32_t i) const;
    int32_t GetInteger(uint32_t i) const;

    int Count() const { return m_count; }

    // Version text of the SNMP library.
    const char* GetLibraryVersion() const;

    // Port to use for every later session (0: the library's default port,
    // which snmp.conf's defaultPort may change). Set at start-up from the
    // command line; never changed by a window.
    static void SetPortOverride(uint16_t port);

private:
    char m_host[16];
    char m_community[13];
    SnmpVarResult* m_results;
    SnmpVarSpec* m_specs;
    uint32_t m_capacity;
    int32_t m_count;
};
