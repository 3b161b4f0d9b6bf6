#pragma once
// The commands of kalvorctl for one module.

#include <functional>
#include <string>

#include "ctl/CtlOptions.h"
#include "ctl/CtlOutput.h"

// Runs `options.command` for `host` (files with {host} replaced) and
// returns its exit status. `uploaded` is called when a switch write has
// changed the module's registers, before its restart and confirmation.
int RunCtlCommand(const CtlOptions& options, const std::string& host, CtlOutput& out,
    const std::function<void()>& uploaded = {});

// The wait between the switch board's restart and the confirmation:
// KALVOR_RESTART_WAIT_MS when set to a number, else 10 000 ms.
unsigned RestartWaitMs();
