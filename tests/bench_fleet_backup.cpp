// Times kalvorctl at fleet scale against simulated modules, all in one run:
// - `switch read` of a fleet of 256 with --jobs 64 and real pauses, against
//   the floor of a bare Net-SNMP asynchronous loop making the same 32,768
//   GETs to the same fleet with 64 modules in flight and the same 150 ms
//   pause before each module's batch;
// - the speed-up over --jobs 1;
// - what 8 silent modules add to the list with --timeout 1 --retries 0;
// - scan of a /22 (1,022 addresses, 264 of them modules, 8 silent);
// - the longest stall of the event loop while the same fleet is read in this
//   process through the batches kalvorctl runs (callback form, 64 at once).
// kalvorctl, the floor and the fleet with silent modules run in interleaved
// rounds, the best of each kept. Prints each, "ratio X.XX" (kalvorctl /
// floor) and, last, "longest stall N ms".

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QEventLoop>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/Pause.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"
#include "support/BareSnmpFleetFloor.h"
#include "support/CtlProcess.h"
#include "support/BenchRounds.h"
#include "support/SimModule.h"
#include "support/StallProbe.h"
#include "support/TestEnvironment.h"

namespace {
constexpr int kModules = 256;
constexpr int kSilent = 8;
constexpr int kJobs = 64;
constexpr int kRounds = 3;
const char* const kCommunity = "582019374620";

// Seconds that kalvorctl with `args` takes; its status in `status`.
double CtlSeconds(const QStringList& args, int& status) { return TimedCtlProcess(KALVOR_CTL_PATH, args, status); }

// The fleet's registers read in this process, `inFlight` modules at once,
// each a 128-variable batch started from the one before's call back, as
// kalvorctl runs them; returns the longest stall of the event loop.
qint64 EngineStallMs(const std::vector<std::string>& addresses, int inFlight)
{
    std::vector<std::unique_ptr<CSnmpRequest>> requests;
    for (const std::string& address : addresses) {
        requests.push_back(std::make_unique<CSnmpRequest>(address.c_str(), kCommunity, 128));
        for (int r = 0; r < 128; ++r)
            requests.back()->AddVar(Oid::SwitchRegister(r), "", 0);
    }
    QEventLoop loop;
    size_t next = 0;
    size_t done = 0;
    int failed = 0;
    std::function<void()> startNext = [&] {
        CSnmpRequest& request = *requests[next++];
        request.Start(false, [&](int code) {
            failed += code != CSnmpRequest::kOk;
            if (++done == requests.size())
                loop.quit();
            else if (next < requests.size())
                startNext();
        });
    };
    const StallProbe probe;
    while (next < requests.size() && next < size_t(inFlight))
        startNext();
    loop.exec();
    if (failed)
        fprintf(stderr, "engine: %d modules not read\n", failed);
    return probe.LongestMs();
}

QString WriteList(const QTemporaryDir& dir, const QString& name, const SimModule& fleet, int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += fleet.FleetAddress(i).toLatin1() + "\n";
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TestEnvironment::Init();
    init_snmp("snmpapp");
    SimFleetSpec spec;
    spec.size = kModules + kSilent;
    spec.silent = {"127.1.1.1-127.1.1.8"};  // the last 8 of the fleet from 127.1.0.1
    SimModule fleet(spec);
    QTemporaryDir dir;
    const QString list = WriteList(dir, "fleet.txt", fleet, kModules);
    const QString withSilent = WriteList(dir, "with-silent.txt", fleet, kModules + kSilent);
    const QString pattern = dir.filePath("backup-{host}.rcs");
    const QStringList common {"--port", QString::number(fleet.Port()), "--timeout", "1", "--retries", "0"};
    std::vector<std::string> addresses;
    for (int i = 0; i < kModules; ++i)
        addresses.push_back(fleet.FleetAddress(i).toStdString());

    const QStringList read = common + QStringList {"--jobs", QString::number(kJobs), "--hosts"};
    int status = 0;
    double plain = 0;
    const std::vector<double> best = bench::BestOfInterleaved(kRounds,
        {[&] {
             plain = CtlSeconds(read + QStringList {list, "switch", "read", pattern}, status);
             if (status != 0)
                 fprintf(stderr, "fleet backup failed: status %d\n", status);
             return plain;
         },
            [&] { return FleetReadFloorSeconds(addresses, fleet.Port(), kCommunity, kJobs); },
            [&] { return CtlSeconds(read + QStringList {withSilent, "switch", "read", pattern}, status) - plain; }});
    const double ctl = best[0], floor = best[1], silent = best[2];
    const double one = CtlSeconds(common + QStringList {"--jobs", "1", "--hosts", list, "switch", "read", pattern}, status);
    const double scan = CtlSeconds(common + QStringList {"--jobs", "256", "scan", "127.1.0.0/22"}, status);
    fleet.Use();
    SetSleepHook(nullptr);  // the real pauses
    const qint64 stall = EngineStallMs(addresses, kJobs);
    printf("kalvorctl switch read of %d modules, --jobs %d: %.3f s\n", kModules, kJobs, ctl);
    printf("bare Net-SNMP loop, %d in flight, 150 ms pause + 128 GETs each: %.3f s\n", kJobs, floor);
    printf("%d silent modules added: %.3f s (one after the other: %d s)\n", kSilent, silent, kSilent);
    printf("(best of %d rounds, the three interleaved)\n", kRounds);
    printf("--jobs 1: %.3f s, speed-up of --jobs %d: %.1f\n", one, kJobs, one / ctl);
    printf("scan of 127.1.0.0/22 (%d modules), --jobs 256: %.3f s\n", kModules + kSilent, scan);
    printf("ratio %.2f\n", ctl / floor);
    printf("longest stall %lld ms (the fleet read in this process, %d at once)\n", static_cast<long long>(stall), kJobs);
    return 0;
}
