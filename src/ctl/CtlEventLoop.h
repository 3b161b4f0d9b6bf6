#pragma once
// kalvorctl's event loop for a run over many modules or addresses.

#include <functional>

// `begin` starts the run with `stop`, which says yes from the first SIGINT or
// SIGTERM on (see CtlSignals), and `over`, which the run calls when it is
// over; waits for that in a local event loop, then removes the progress line.
void RunUntilInterrupted(const std::function<void(std::function<bool()> stop, std::function<void()> over)>& begin);
