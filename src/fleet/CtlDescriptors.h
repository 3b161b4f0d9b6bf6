#pragma once
// Open files during a kalvorctl run. Every module in progress holds one SNMP
// session (a socket) and, with a {host} trace, its trace file; a few more
// files are open for a moment now and then (a backup's temporary file, a
// configuration file). The run fits --jobs to the process's limit at the
// start; a session that still cannot be opened because every descriptor is
// taken is opened again once one is free, and is no module's failure.

#include <QObject>
#include <functional>

#include "snmp/SnmpRequest.h"

namespace CtlDescriptors {

// Raises the soft limit of open files towards the hard one as far as `jobs`
// items of `perJob` descriptors each need, and returns how many of them the
// limit holds (at least 1, at most `jobs`); `soft` gets the soft limit.
int FitJobs(int jobs, int perJob, unsigned long& soft);

// How often a batch was started again because its session could not be opened.
struct SessionRetry {
    int tries = 0;
    int unexplained = 0;  // failures in a row while descriptors were free
};

// Whether a batch that ended with `code` should start again: its session
// could not be opened and every descriptor is taken (it waits, polling with
// the pause before each batch, for about a minute at most), or descriptors
// are free again and this is the first such failure in a row (one may have
// come free since the session failed).
bool StartAgain(int code, SessionRetry& retry);

// CSnmpRequest::Start, with a batch whose session could not be opened started
// again as StartAgain says, from the event loop, unless `context` is gone
// by then. `context` must not outlive `request`. `waiting` as for Start.
void StartBatch(CSnmpRequest& request, bool set, QObject* context, CSnmpRequest::Done done,
    SessionRetry retry = SessionRetry(), std::function<void(bool slow)> waiting = nullptr);

}  // namespace CtlDescriptors
