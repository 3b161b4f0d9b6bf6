#pragma once
// The switch commands that need no module: switch show FILE and
// switch diff FILE1 FILE2.

#include "ctl/CtlOptions.h"

// The exit status.
int RunOffline(const CtlOptions& options);
