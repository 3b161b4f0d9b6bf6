#pragma once
// kalvorctl scan: the lines, JSON objects and host list of a range's scan.

#include "ctl/CtlOptions.h"
#include "fleet/ModuleScan.h"

// Asks every address of `range`, --jobs at a time, and prints one line (or
// JSON object) per module that answered; the exit status.
int RunScan(const CtlOptions& options, const ScanRange& range);
