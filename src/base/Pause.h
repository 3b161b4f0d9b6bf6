#pragma once
#include <functional>

class QObject;

// Pauses. Tests may replace the waiting (for instance to record the pauses
// and skip it); the hook is called in place of every pause, of both forms.

// Waits in a local event loop through the busy state (base/BusyHooks.h): in
// the windows they repaint meanwhile and input is blocked. A cancel of the
// busy handler ends the wait at once, and a pause of a handler that was
// cancelled does not wait at all.
void Sleep(unsigned milliseconds);
// Calls `then` after the pause, from the event loop, unless `context` is
// gone by then. With a hook `then` still comes from the event loop, at once.
void PauseThen(unsigned milliseconds, QObject* context, std::function<void()> then);
// For a caller that times the pause with its own timer: the pause to wait,
// 0 when a hook took it (the timer then goes off at the next turn of the
// event loop).
unsigned PauseLength(unsigned milliseconds);
// nullptr restores the real pauses.
void SetSleepHook(std::function<void(unsigned)> hook);
