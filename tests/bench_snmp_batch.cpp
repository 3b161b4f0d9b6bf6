// Times a 128-variable Get batch against a simulated module and, as the floor,
// the same 128 GETs sent by a bare Net-SNMP loop on one session plus one
// 150 ms pause, the two in interleaved rounds, the best of each kept. Prints
// both, "ratio X.XX" (batch / floor) and, last, the longest stall of the
// event loop during the batches.

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Pause.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"
#include "support/BareSnmpFloor.h"
#include "support/SimModule.h"
#include "support/BenchRounds.h"
#include "support/StallProbe.h"
#include "support/TestEnvironment.h"

namespace {
constexpr int kRegisters = 128;
constexpr int kRounds = 8;
const char* const kCommunity = "582019374620";

double BatchSeconds(qint64& stall)
{
    const StallProbe probe;
    CSnmpRequest request("127.0.0.1", kCommunity, kRegisters);
    for (int r = 0; r < kRegisters; ++r)
        request.AddVar(Oid::SwitchRegister(r).c_str(), "", 0);
    QElapsedTimer timer;
    timer.start();
    if (request.Get() != 0)
        fprintf(stderr, "batch failed\n");
    const double seconds = timer.nsecsElapsed() / 1e9;
    stall = std::max(stall, probe.LongestMs());
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);  // the batch runs in the event loop
    TestEnvironment::Init();
    SetSleepHook(nullptr);  // the batch's own pause is part of what is timed
    SimModule sim;
    sim.Use();

    QElapsedTimer initTimer;
    initTimer.start();
    init_snmp("snmpapp");
    printf("init_snmp: %.4f s\n", initTimer.nsecsElapsed() / 1e9);

    qint64 stall = 0;
    const std::vector<double> best = bench::BestOfInterleaved(kRounds,
        {[&] { return BatchSeconds(stall); },
            [&] { return RegisterReadFloorSeconds("127.0.0.1", sim.Port(), kCommunity); }});
    printf("batch of %d GETs: %.4f s\n", kRegisters, best[0]);
    printf("bare loop + 150 ms pause: %.4f s\n", best[1]);
    printf("(best of %d rounds, the two interleaved)\n", kRounds);
    printf("ratio %.2f\n", best[0] / best[1]);
    printf("longest stall %lld ms\n", static_cast<long long>(stall));
    return 0;
}
