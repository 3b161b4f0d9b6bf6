#include "base/BusyHooks.h"

#include <QEventLoop>

namespace {

BusyHooks& Hooks()
{
    static BusyHooks hooks {
        [] { return false; },
        [](bool, int, int) {},
        [](const QString&) {},
        [](QEventLoop& loop) { loop.exec(); },
    };
    return hooks;
}

}  // namespace

const BusyHooks& CurrentBusyHooks() { return Hooks(); }

void InstallBusyHooks(const BusyHooks& hooks) { Hooks() = hooks; }
