#include "platform/Pause.h"

#include <chrono>
#include <thread>

namespace {
std::function<void(unsigned)>& SleepHook()
{
    static std::function<void(unsigned)> hook;
    return hook;
}
}  // namespace

void Sleep(unsigned milliseconds)
{
    if (SleepHook()) {
        SleepHook()(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SetSleepHook(std::function<void(unsigned)> hook) { SleepHook() = std::move(hook); }
