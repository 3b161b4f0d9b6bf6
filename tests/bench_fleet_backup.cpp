// Times a fleet backup with kalvorctl (switch read of 8 simulated modules on
// 127.0.0.1-8, one list, one process) against 8 times the single-module
// floor: one 150 ms pause plus 128 bare Net-SNMP GETs on one session, taken
// on each module in the same run. Prints both and, last, "ratio X.XX".

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "snmp/ModuleObjects.h"
#include "support/BareSnmpFloor.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"

namespace {
constexpr int kModules = 8;
constexpr int kRegisters = 128;
constexpr int kRounds = 3;
const char* const kCommunity = "582019374620";

double FleetSeconds(const QString& list, const QString& pattern, uint16_t port)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(KALVOR_CTL_PATH, {"--port", QString::number(port), "--hosts", list, "switch", "read", pattern});
    process.waitForFinished(120000);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (process.exitCode() != 0)
        fprintf(stderr, "fleet backup failed: %s\n", process.readAllStandardError().constData());
    return seconds;
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TestEnvironment::Init();
    init_snmp("snmpapp");
    std::vector<std::unique_ptr<SimModule>> sims;
    QByteArray hosts;
    for (int m = 1; m <= kModules; ++m) {
        const QString address = QStringLiteral("127.0.0.%1").arg(m);
        sims.push_back(std::make_unique<SimModule>("{}", address, sims.empty() ? 0 : sims.front()->Port()));
        hosts += address.toLatin1() + "\n";
    }
    const uint16_t port = sims.front()->Port();
    QTemporaryDir dir;
    const QString list = dir.filePath("modules.txt");
    QFile file(list);
    if (!file.open(QIODevice::WriteOnly) || file.write(hosts) != hosts.size())
        return 1;
    file.close();
    const QString pattern = dir.filePath("backup-{host}.rcs");

    double fleet = 1e9, floor = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        fleet = std::min(fleet, FleetSeconds(list, pattern, port));
        double sum = 0;
        for (const auto& sim : sims)
            sum += RegisterReadFloorSeconds(sim->Address().toStdString(), port, kCommunity);
        floor = std::min(floor, sum);
    }
    printf("kalvorctl fleet backup of %d modules: %.4f s (best of %d)\n", kModules, fleet, kRounds);
    printf("%d x (150 ms pause + %d bare GETs): %.4f s (best of %d)\n", kModules, kRegisters, floor, kRounds);
    printf("ratio %.2f\n", fleet / floor);
    return 0;
}
