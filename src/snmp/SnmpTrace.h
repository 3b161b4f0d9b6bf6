#pragma once
// The traffic log of the SNMP batch: one line for every request sent and one
// for every answer (or time-out), written only by CSnmpRequest. The line
// format is described with CSnmpRequest::SetTraceFile.

#include <chrono>
#include <string>

struct snmp_pdu;
struct SnmpVarSpec;

namespace SnmpTrace {

using Clock = std::chrono::steady_clock;

// Starts the log in `path` (emptied), or ends it for an empty path. False,
// with one line on standard error, when the file cannot be opened.
bool Open(const std::string& path);
// A log of its own for the requests to `host` (dotted address), beside the
// one of Open; an empty path ends it.
bool OpenFor(const std::string& host, const std::string& path);

// The request about to be sent to `peer`.
void Request(const char* peer, bool set, const SnmpVarSpec& spec);
// Its answer: `status` is the library's send status, `answer` the reply (or
// nullptr), `sent` when the request left, `resends` the batch's re-sends of
// this variable so far.
void Answer(const char* peer, bool set, const std::string& oidText, int status, const snmp_pdu* answer,
    Clock::time_point sent, int resends);

}  // namespace SnmpTrace
