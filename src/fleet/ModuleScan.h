#pragma once
// kalvorctl scan: which addresses of a range hold a module.

#include <cstdint>
#include <string>

#include "ctl/CtlOptions.h"

struct ScanRange {
    uint32_t first = 0;  // host byte order
    uint32_t last = 0;
    uint32_t Size() const { return last - first + 1; }
};

inline constexpr uint32_t kMaxScanAddresses = 65536;  // a /16

// "a.b.c.d/N" (N from 16 to 32; a /30 or wider leaves out its network and
// broadcast addresses) or "FIRST-LAST". False with `error` set (one line)
// for anything else, a range of more than a /16, or one holding an address
// that names no module.
bool ParseScanRange(const std::string& text, ScanRange& range, std::string& error);

// Asks every address of `range`, --jobs at a time, and prints one line (or
// JSON object) per module that answered; the exit status.
int RunScan(const CtlOptions& options, const ScanRange& range);
