#pragma once
// A kalvorctl run over its modules, --jobs of them at once: the command for
// each, its lines in list order, a summary line each with --hosts, a JSON
// object for a module that failed with --json and a closing one for a list,
// the run's exit status. SIGINT, SIGTERM, SIGHUP and a failed write to
// standard output or error let the modules in progress finish and start no
// other.

#include <string>
#include <vector>

#include "ctl/CtlOptions.h"

// `hosts` in canonical form; with --hosts they came from the list. Returns
// the exit status: the highest status of any module (0 when all are done;
// at least 2 when standard output or error failed), or 128 + the signal's
// number when a signal interrupted the run.
int RunModules(const CtlOptions& options, const std::vector<std::string>& hosts);
