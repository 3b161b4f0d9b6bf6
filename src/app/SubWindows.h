#pragma once
// The six modeless windows that the main window opens. Each is given copies
// of the module address and the community strings at the moment it opens.

#include <QString>
#include <array>
#include <functional>
#include <memory>

class CDialog;

// In the order in which "Read Settings" closes them.
enum class SubWindow { IoPorts, PortStatus, SwitchConfiguration, SnmpTraps, MacTable, Serial };
inline constexpr int kSubWindowCount = 6;

struct SubWindowArgs {
    QString moduleIp;
    QString rwCommunity;
    QString roCommunity;
};

using SubWindowFactory = std::function<std::unique_ptr<CDialog>(const SubWindowArgs&)>;

// Factories of the windows this build contains; a kind without one reports
// that its window is not available. Tests may install their own.
SubWindowFactory& SubWindowFactoryFor(SubWindow kind);
