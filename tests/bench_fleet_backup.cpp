// Times kalvorctl at fleet scale against simulated modules, all in one run:
// - `switch read` of a fleet of 256 with --jobs 64 and real pauses, against
//   the floor of a bare Net-SNMP asynchronous loop making the same 32,768
//   GETs to the same fleet with 64 modules in flight and the same 150 ms
//   pause before each module's batch;
// - the speed-up over --jobs 1;
// - what 8 silent modules add to the list with --timeout 1 --retries 0;
// - scan of a /22 (1,022 addresses, 264 of them modules, 8 silent).
// Prints each and, last, "ratio X.XX" (kalvorctl / floor).

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "support/BareSnmpFleetFloor.h"
#include "support/CtlProcess.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"

namespace {
constexpr int kModules = 256;
constexpr int kSilent = 8;
constexpr int kJobs = 64;
constexpr int kRounds = 2;
const char* const kCommunity = "582019374620";

// Seconds that kalvorctl with `args` takes; its status in `status`.
double CtlSeconds(const QStringList& args, int& status) { return TimedCtlProcess(KALVOR_CTL_PATH, args, status); }

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

    double ctl = 1e9, floor = 1e9, silent = 1e9;
    int status = 0;
    for (int round = 0; round < kRounds; ++round) {
        const QStringList read = common + QStringList {"--jobs", QString::number(kJobs), "--hosts"};
        const double plain = CtlSeconds(read + QStringList {list, "switch", "read", pattern}, status);
        if (status != 0)
            fprintf(stderr, "fleet backup failed: status %d\n", status);
        ctl = std::min(ctl, plain);
        floor = std::min(floor, FleetReadFloorSeconds(addresses, fleet.Port(), kCommunity, kJobs));
        silent = std::min(silent, CtlSeconds(read + QStringList {withSilent, "switch", "read", pattern}, status) - plain);
    }
    const double one = CtlSeconds(common + QStringList {"--jobs", "1", "--hosts", list, "switch", "read", pattern}, status);
    const double scan = CtlSeconds(common + QStringList {"--jobs", "256", "scan", "127.1.0.0/22"}, status);
    printf("kalvorctl switch read of %d modules, --jobs %d: %.3f s (best of %d)\n", kModules, kJobs, ctl, kRounds);
    printf("bare Net-SNMP loop, %d in flight, 150 ms pause + 128 GETs each: %.3f s (best of %d)\n", kJobs, floor,
        kRounds);
    printf("--jobs 1: %.3f s, speed-up of --jobs %d: %.1f\n", one, kJobs, one / ctl);
    printf("%d silent modules added: %.3f s (one after the other: %d s)\n", kSilent, silent, kSilent);
    printf("scan of 127.1.0.0/22 (%d modules), --jobs 256: %.3f s\n", kModules + kSilent, scan);
    printf("ratio %.2f\n", ctl / floor);
    return 0;
}
