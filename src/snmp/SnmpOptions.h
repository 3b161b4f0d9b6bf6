#pragma once
// Process-wide settings of every later SNMP session, set at start-up (see the
// setters of CSnmpRequest).

#include <cstdint>

struct SnmpOptions {
    uint16_t port = 0;  // 0: the library's default port (snmp.conf defaultPort)
    long timeoutUs = 0;  // 0: the library's default
    int retries = -1;  // negative: the library's default
};

SnmpOptions& SnmpSessionOptions();
