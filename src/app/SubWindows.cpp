#include "app/SubWindows.h"

SubWindowFactory& SubWindowFactoryFor(SubWindow kind)
{
    static std::array<SubWindowFactory, kSubWindowCount> factories;
    return factories[static_cast<size_t>(kind)];
}
