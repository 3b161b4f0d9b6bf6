#pragma once
// One batch of SNMPv1 variables for one module address and one community.
// Every variable travels in a request of its own, one after the other, over
// one session that lives for the duration of one Get or Set call.
//
// Two forms run a batch. Get and Set read as if they blocked: they wait in a
// local event loop (windows keep repainting, input is blocked, and a cancel of
// the busy handler ends them; see base/BusyHooks.h). Start calls back when the
// batch is done instead, so that many batches (of many modules) can run at
// once on one event loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct SnmpVarSpec {
    std::string oid;  // numeric dotted text with a leading dot
    std::string value;  // value to write, empty for reads
    char type = 0;  // snmp_add_var letter: 'i', 'a', 's', 'x'; 0 for reads
};

struct SnmpVarResult {
    std::string text;  // whole printed value, for octet strings only
    int32_t integer = 0;  // value of any other type
};

class CSnmpRequest {
public:
    // Return codes of Get and Set.
    enum : int {
        kOk = 0,
        kErrorStatus = -1,  // the module answered with a non-zero error status
        kNoAnswer = -2,  // time-out or transport failure
        kNoSession = -3,  // the session could not be opened
        kCancelled = -4,  // the operator stopped it: nothing more was sent
    };
    using Done = std::function<void(int code)>;

    CSnmpRequest(const char* host, const char* community, uint32_t capacity);
    virtual ~CSnmpRequest();
    CSnmpRequest(const CSnmpRequest&) = delete;
    CSnmpRequest& operator=(const CSnmpRequest&) = delete;

    // 1 when stored, -1 when the batch is full, -2 for an empty OID text.
    // The value text is kept whole.
    int AddVar(const char* oid, const char* value, char type);
    int AddVar(const std::string& oid, const char* value, char type) { return AddVar(oid.c_str(), value, type); }
    // An answer counts only when it holds exactly one variable, named by the
    // OID that was asked, with a value of a known type (INTEGER within 32
    // bits, OCTET STRING, IpAddress, Counter, Gauge, TimeTicks); anything
    // else ends the call with kErrorStatus and nothing of it is stored.
    int Get();
    int Set();

    // Starts the batch and returns at once; `done` is called from the event
    // loop with the code Get or Set would have returned. `waiting` (optional)
    // is called with true when an answer is slow in coming (a second) and with
    // false when it came at last. One batch at a time per request.
    void Start(bool set, Done done, std::function<void(bool)> waiting = nullptr);
    // Stops a started batch: its session is closed, nothing more is sent and
    // `done` is not called. Nothing when no batch runs.
    void Cancel();
    bool Running() const;
    // Variables of the last batch that were answered (for "3 of 7 written").
    int Completed() const;

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
    // Time-out of each answer in microseconds and the number of re-sends of
    // an unanswered request for every later session (0 or negative: the
    // library's defaults, which snmp.conf may change).
    static void SetTimeoutOverride(long microseconds);
    static void SetRetriesOverride(int retries);

    // Traffic log: every request sent and every answer (or time-out) of
    // every later Get and Set, one line each, appended to `path` (the file
    // is emptied when opened). An empty path ends the log. False, with one
    // line on standard error, when the file cannot be opened. The community
    // is never written. Lines:
    //   TIME HOST[:PORT] > GET|SET OID TYPE VALUE
    //   TIME HOST[:PORT] < GET|SET OID TYPE VALUE status=S rtt=Nms resends=R
    // TIME is local ISO time with milliseconds; TYPE and VALUE are "- -" for
    // a GET request and an answer without a variable; octet strings are
    // quoted with \xNN escapes; S is the error status or "timeout"/"failed";
    // R counts the batch's re-sends of this variable after a read-back that
    // differed. The library's own re-sends within one time-out (snmp.conf
    // "retries", --retries) are not separate lines: they show in rtt.
    static bool SetTraceFile(const std::string& path);
    // The same log for the requests to `host` only, in a file of its own
    // (several modules may be logged at once). An empty path ends it.
    static bool SetHostTraceFile(const std::string& host, const std::string& path);

private:
    int Run(bool set);
    // `doneAtOnce`: `done` only ends a local wait, so it may come straight
    // from the handler of the last answer.
    void Begin(bool set, Done done, std::function<void(bool)> waiting, bool doneAtOnce,
        std::function<bool()> stopped = {});

    std::string m_host;  // dotted address, at most 15 characters
    std::string m_community;  // at most 12 characters
    std::vector<SnmpVarResult> m_results;
    std::vector<SnmpVarSpec> m_specs;
    uint32_t m_capacity;
    int32_t m_count;
    std::unique_ptr<class CSnmpExchange> m_exchange;
};
