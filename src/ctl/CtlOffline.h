#pragma once
// The commands that need no module: switch show FILE, switch diff FILE1
// FILE2, module show FILE and module diff FILE1 FILE2.

#include "ctl/CtlOptions.h"

// The exit status.
int RunOffline(const CtlOptions& options);
