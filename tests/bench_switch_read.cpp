// Times "Read Configuration" of the switch settings window (128 register
// reads, decoded and shown) against a simulated module and, as the floor,
// the same 128 GETs sent by a bare Net-SNMP loop on one session plus one
// 150 ms pause. Prints both and, last, "ratio X.XX" (window / floor).

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <string>

#include "base/Pause.h"
#include "res/SwitchDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "support/BareSnmpFloor.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/StallProbe.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"
#include "switch/SwitchDlg.h"

namespace {
constexpr int kRegisters = 128;
constexpr int kRounds = 5;
const char* const kCommunity = "582019374620";

double WindowSeconds(CSwitchDlg& window)
{
    QElapsedTimer timer;
    timer.start();
    drive::Press(window, IDC_SW_READ);
    const double seconds = timer.nsecsElapsed() / 1e9;
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

    CSwitchDlg window(SubWindowArgs {sim.Address(), "marbled", kCommunity});
    window.Create();
    window.show();

    double read = 1e9, floor = 1e9;
    qint64 stall = 0;
    for (int round = 0; round < kRounds; ++round) {
        const StallProbe probe;
        read = std::min(read, WindowSeconds(window));
        stall = std::max(stall, probe.LongestMs());
        floor = std::min(floor, RegisterReadFloorSeconds("127.0.0.1", sim.Port(), kCommunity));
    }
    printf("window read of %d registers: %.4f s (best of %d)\n", kRegisters, read, kRounds);
    printf("bare loop + 150 ms pause: %.4f s (best of %d)\n", floor, kRounds);
    printf("ratio %.2f\n", read / floor);
    printf("longest stall %lld ms\n", static_cast<long long>(stall));
    return 0;
}
