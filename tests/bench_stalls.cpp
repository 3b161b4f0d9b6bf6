// How long the event loop stalls while windows wait for the module, with
// real pauses and time-outs, and how soon a Cancel takes effect:
//   "Read Settings" against a silent module with the library's default
//   time-out and re-sends (1 s x 6), cancelled after 2 s;
//   "List Entire Table" of a 1024-entry table, cancelled after 3 s;
//   the switch upload with its 10 s wait before the confirmation.
// Prints a line per action and, last, "longest stall N ms" over all of them.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "base/Pause.h"
#include "platform/Busy.h"
#include "res/MacTableDlgIds.h"
#include "res/SwitchDlgIds.h"
#include "support/BenchRounds.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/StallProbe.h"
#include "switch/MacTableDlg.h"
#include "switch/MacTableText.h"
#include "switch/SwitchDlg.h"

namespace {

qint64 g_longest = 0;  // of every action, the openings included

struct Measured {
    qint64 stallMs = 0;
    qint64 cancelMs = -1;  // from the Cancel to the end of the action; -1: not cancelled
    QString status;
};

// Presses `button` of `window`; `cancelAfterMs` >= 0 cancels that long after.
Measured Run(CDialog& window, int button, int cancelAfterMs)
{
    Measured measured;
    QElapsedTimer clock;
    qint64 cancelledAt = -1;
    if (cancelAfterMs >= 0) {
        QTimer::singleShot(cancelAfterMs, [&] {
            cancelledAt = clock.elapsed();
            CBusy::Cancel();
        });
    }
    const StallProbe probe;
    clock.start();
    drive::Press(window, button);
    measured.stallMs = probe.LongestMs();
    if (cancelledAt >= 0)
        measured.cancelMs = clock.elapsed() - cancelledAt;
    measured.status = drive::Status(window);
    return measured;
}

void Print(const char* action, const Measured& measured)
{
    printf("%s: longest stall %lld ms", action, static_cast<long long>(measured.stallMs));
    if (measured.cancelMs >= 0)
        printf(", ended %lld ms after Cancel", static_cast<long long>(measured.cancelMs));
    printf(" (%s)\n", qPrintable(measured.status));
}

std::string MacTableState()
{
    std::string entries;
    for (int index = 3; index < kMacTableEntries; index += 20)
        entries += std::string(entries.empty() ? "" : ",") + "{\"index\": " + std::to_string(index)
            + ", \"mac\": \"02-00-00-00-00-01\", \"port\": 1, \"age\": 2}";
    return "{\"macTable\": [" + entries + "]}";
}

// Opening a window: made, shown and painted.
template <class Window> std::unique_ptr<Window> Open(const char* what, const std::function<std::unique_ptr<Window>()>& make)
{
    std::unique_ptr<Window> window;
    const bench::Action opening = bench::Measure([&] {
        window = make();
        window->show();
    });
    printf("%s: %.1f ms, longest stall %lld ms\n", what, opening.seconds * 1e3, static_cast<long long>(opening.stallMs));
    g_longest = std::max(g_longest, opening.stallMs);
    return window;
}

Measured SilentReadSettings()
{
    SimModule sim(R"({"faults": {".1.1.8.0": {"silence": true}}})");
    CSnmpRequest::SetTimeoutOverride(1000000);
    CSnmpRequest::SetRetriesOverride(5);
    auto window = Open<CMainDlg>("opening a main window", [&sim] { return fixture::OpenMainWindow(sim); });
    const Measured measured = Run(*window, IDC_READ_SETTINGS, 2000);
    CSnmpRequest::SetTimeoutOverride(0);
    CSnmpRequest::SetRetriesOverride(-1);
    return measured;
}

Measured MacWalk()
{
    SimModule sim(MacTableState());
    sim.Use();
    auto window = Open<CMacTableDlg>("opening the MAC table window", [&sim] {
        auto made = std::make_unique<CMacTableDlg>(
            SubWindowArgs {sim.Address(), fixture::kWriteCommunity, fixture::kReadCommunity});
        made->Create();
        return made;
    });
    return Run(*window, IDC_MAC_LIST_TABLE, 3000);
}

Measured SwitchUploadWait()
{
    SimModule sim(R"({"objects": {".1.4.2.13.0": {"value": 0}}})");
    sim.Use();
    auto window = Open<CSwitchDlg>("opening the switch window (its first read included)", [&sim] {
        auto made = std::make_unique<CSwitchDlg>(
            SubWindowArgs {sim.Address(), fixture::kWriteCommunity, fixture::kReadCommunity});
        made->Create();
        return made;
    });
    drive::SetChecked(*window, IDC_SW_FAST_AGING, true);
    return Run(*window, IDC_SW_SAVE, -1);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnvironment::Init();
    SetSleepHook(nullptr);  // real pauses
    ScriptedUi ui;  // answers the walk's question with Yes
    const SimModule startUpModule;
    double startUp = 0;
    const auto mainWindow = bench::StartUp(startUpModule, startUp);
    printf("start-up (the main window, before the event loop runs): %.1f ms\n", startUp * 1e3);

    const struct {
        const char* action;
        std::function<Measured()> run;
    } kActions[] = {
        {"Read Settings, silent module, 1 s x 6 tries, Cancel after 2 s", SilentReadSettings},
        {"List Entire Table, Cancel after 3 s", MacWalk},
        {"switch upload with its 10 s wait", SwitchUploadWait},
    };
    for (const auto& action : kActions) {
        const Measured measured = action.run();
        Print(action.action, measured);
        g_longest = std::max(g_longest, measured.stallMs);
    }
    printf("longest stall %lld ms\n", static_cast<long long>(g_longest));
    return 0;
}
