#pragma once
#include <functional>

// Blocking pause of the calling thread. Tests may replace it (for instance to
// record the pauses and skip the waiting).
void Sleep(unsigned milliseconds);
// nullptr restores the real pause.
void SetSleepHook(std::function<void(unsigned)> hook);
