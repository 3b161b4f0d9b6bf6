// Times a 128-variable Get batch against a simulated module and, as the floor,
// the same 128 GETs sent by a bare Net-SNMP loop on one session plus one
// 150 ms pause. Prints both, "ratio X.XX" (batch / floor) and, last, the
// longest stall of the event loop during the batches.

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
#include "support/StallProbe.h"
#include "support/TestEnvironment.h"

namespace {
constexpr int kRegisters = 128;
constexpr int kRounds = 5;
const char* const kCommunity = "582019374620";

double BatchSeconds()
{
    CSnmpRequest request("127.0.0.1", kCommunity, kRegisters);
    for (int r = 0; r < kRegisters; ++r)
        request.AddVar(Oid::SwitchRegister(r).c_str(), "", 0);
    QElapsedTimer timer;
    timer.start();
    if (request.Get() != 0)
        fprintf(stderr, "batch failed\n");
    return timer.nsecsElapsed() / 1e9;
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

    double batch = 1e9, floor = 1e9;
    qint64 stall = 0;
    for (int round = 0; round < kRounds; ++round) {
        const StallProbe probe;
        batch = std::min(batch, BatchSeconds());
        stall = std::max(stall, probe.LongestMs());
        floor = std::min(floor, RegisterReadFloorSeconds("127.0.0.1", sim.Port(), kCommunity));
    }
    printf("batch of %d GETs: %.4f s (best of %d)\n", kRegisters, batch, kRounds);
    printf("bare loop + 150 ms pause: %.4f s (best of %d)\n", floor, kRounds);
    printf("ratio %.2f\n", batch / floor);
    printf("longest stall %lld ms\n", static_cast<long long>(stall));
    return 0;
}
