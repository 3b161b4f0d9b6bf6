#pragma once
// The six modeless windows that the main window opens. Each is given copies
// of the module address and the community strings at the moment it opens.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

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

// One row of the main window's launch table: the button, the kind of window
// it opens (one window of each kind at a time) and how to make one. A row
// without a factory reports that its window is not available.
struct LaunchButton {
    int button;
    SubWindow kind;
    SubWindowFactory factory;
};
using LaunchTable = std::vector<LaunchButton>;

// The factory of a window class constructed from SubWindowArgs.
template <class Window> SubWindowFactory MakeFactory()
{
    return [](const SubWindowArgs& args) -> std::unique_ptr<CDialog> { return std::make_unique<Window>(args); };
}
