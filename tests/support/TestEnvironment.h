#pragma once
// Process-wide set-up for tests that exchange with a simulated module: a
// temporary SNMPCONFPATH with a one-second time-out, no retries and no MIB
// loading, written before the SNMP library is first initialised; pauses are
// recorded and skipped.

#include <vector>

namespace TestEnvironment {
// Call once at the start of a test executable (initTestCase).
void Init();
// Back to the start-up state after a test that changed it: the session's
// time-out and re-sends from snmp.conf, pauses recorded and skipped.
void Reset();
// Pauses requested through Sleep since the last call.
std::vector<unsigned> TakePauses();
}  // namespace TestEnvironment
