#pragma once
// SIGINT, SIGTERM and SIGHUP (the terminal or ssh session went away) during a
// kalvorctl run. The first one is only counted: the run finishes the modules
// in progress (a switch write still reads its confirmation, whatever the
// wait before it is made of) and starts no other. A second one ends the
// process at once, from the handler, after writing the line set last with
// SetLastWords (for instance which modules are left unconfirmed) and the
// --hosts-out list as it stands. The handler does nothing but write(2),
// open(2), fsync(2), close(2), rename(2) and _exit(2), so it is safe at any
// point of the run. A signal that was ignored when the program started (as
// nohup does with SIGHUP) stays ignored.

#include <cstddef>
#include <string>
#include <vector>

namespace CtlSignals {

void Install();
// Signals received so far.
int Count();
// The exit status of an interrupted run: 128 + the first signal's number.
int InterruptedStatus();
// `onFirst` is written when the first signal arrives, `onSecond` before a
// second one ends the run; each should end with a line feed. Longer texts
// are cut.
void SetLastWords(const std::string& onFirst, const std::string& onSecond);

// The --hosts-out file that a second signal writes before the run ends:
// `path` receives the `entries` that are marked, one a line, in this order
// (at first all or none are, as `marked` says). An empty path: none is
// written.
void SetHostsOut(const std::string& path, const std::vector<std::string>& entries, bool marked);
void MarkForHostsOut(size_t entry, bool marked);

}  // namespace CtlSignals
