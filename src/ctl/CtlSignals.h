#pragma once
// SIGINT and SIGTERM during a kalvorctl run. The first one is only counted:
// the run finishes the module in progress (a switch write still reads its
// confirmation, whatever the wait before it is made of) and starts no other.
// A second one ends the process at once, from the handler, after writing the
// line set last with SetLastWords (for instance which modules are left
// unconfirmed). The handler does nothing but write(2) and _exit(2), so it is
// safe at any point of the run.

#include <string>

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

}  // namespace CtlSignals
