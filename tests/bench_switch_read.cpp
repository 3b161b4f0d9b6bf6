// Times "Read Configuration" of the switch settings window (128 register
// reads, decoded and shown) against a simulated module and, as the floor,
// the same 128 GETs sent by a bare Net-SNMP loop on one session plus one
// 150 ms pause, the two in interleaved rounds, the best of each kept.
// Opening the window (which reads the switch too) is timed on its own,
// before the rounds, once the application's main window is open. Prints the times, "ratio X.XX" (window / floor) and,
// last, the longest stall of the event loop while the window opened or read.
// "--open-only" opens the window and stops there (for a profiler).

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "base/Pause.h"
#include "res/SwitchDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "support/BareSnmpFloor.h"
#include "support/BenchRounds.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/StallProbe.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"
#include "switch/SwitchDlg.h"

namespace {
constexpr int kRegisters = 128;
constexpr int kRounds = 8;
const char* const kCommunity = "582019374620";

double WindowSeconds(CSwitchDlg& window, qint64& stall)
{
    const StallProbe probe;
    QElapsedTimer timer;
    timer.start();
    drive::Press(window, IDC_SW_READ);
    const double seconds = timer.nsecsElapsed() / 1e9;
    stall = std::max(stall, probe.LongestMs());
    if (drive::Status(window) != "Connection established! Trellim configuration received.")
        fprintf(stderr, "read failed: %s\n", qPrintable(drive::Status(window)));
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnvironment::Init();
    SetSleepHook(nullptr);  // the batch's own pause is part of what is timed
    ScriptedUi ui;
    SimModule sim;
    sim.Use();
    init_snmp("snmpapp");

    double startUp = 0;
    const auto mainWindow = bench::StartUp(sim, startUp);
    std::unique_ptr<CSwitchDlg> opened;
    const bench::Action opening = bench::Measure([&] {
        opened = std::make_unique<CSwitchDlg>(SubWindowArgs {sim.Address(), "marbled", kCommunity});
        opened->Create();
        opened->show();
    });
    if (argc > 1 && strcmp(argv[1], "--open-only") == 0) {
        printf("opening the window: %.1f ms, longest stall %lld ms\n", opening.seconds * 1e3,
            static_cast<long long>(opening.stallMs));
        return 0;
    }
    CSwitchDlg& window = *opened;

    qint64 stall = opening.stallMs;
    const std::vector<double> best = bench::BestOfInterleaved(kRounds,
        {[&] { return WindowSeconds(window, stall); },
            [&] { return RegisterReadFloorSeconds("127.0.0.1", sim.Port(), kCommunity); }});
    printf("start-up (the main window, before the event loop runs): %.1f ms\n", startUp * 1e3);
    printf("opening the window (its first read included): %.1f ms, longest stall %lld ms\n", opening.seconds * 1e3,
        static_cast<long long>(opening.stallMs));
    printf("window read of %d registers: %.4f s\n", kRegisters, best[0]);
    printf("bare loop + 150 ms pause: %.4f s\n", best[1]);
    printf("(best of %d rounds, the two interleaved)\n", kRounds);
    printf("ratio %.2f\n", best[0] / best[1]);
    printf("longest stall %lld ms\n", static_cast<long long>(stall));
    return 0;
}
