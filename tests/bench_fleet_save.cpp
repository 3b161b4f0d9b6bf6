// Times `kalvorctl --jobs 64 module save` of a simulated fleet of 256
// modules (firmware 4.073 with the switch board and RS-232: the version,
// "Read Settings", the trap settings, the serial line settings and the 128
// switch registers, five batches with their pauses), against the floor of a
// bare Net-SNMP asynchronous loop making the same GETs in the same batches,
// each after its 150 ms pause, with 64 modules in flight. Prints both and,
// last, "ratio X.XX" (kalvorctl / floor).

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "settings/FeatureLevels.h"
#include "settings/SerialSettings.h"
#include "settings/SwitchTransfer.h"
#include "settings/TrapSettings.h"
#include "snmp/ModuleObjects.h"
#include "support/BareSnmpFleetFloor.h"
#include "support/BenchRounds.h"
#include "support/CtlProcess.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"

namespace {
constexpr int kModules = 256;
constexpr int kJobs = 64;
constexpr int kRounds = 2;
const char* const kCommunity = "582019374620";

// What module save reads of the simulator's default module, batch by batch.
FloorBatches SaveBatches()
{
    FloorBatches batches {{Oid::kFirmwareVersion}};
    for (ReadBatch batch : PlanRead(FirmwareVersion {4, 73}).batches) {
        batches.emplace_back();
        for (const SettingsObject& object : BatchObjects(batch))
            batches.back().push_back(object.oid);
    }
    batches.push_back(TrapSettings::ReadObjects());
    batches.push_back(SerialSettings::ReadObjects());
    batches.push_back(SwitchTransfer::RegisterObjects());
    return batches;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TestEnvironment::Init();
    init_snmp("snmpapp");
    SimFleetSpec spec;
    spec.size = kModules;
    SimModule fleet(spec);
    QTemporaryDir dir;
    QByteArray list;
    std::vector<std::string> addresses;
    for (int i = 0; i < kModules; ++i) {
        addresses.push_back(fleet.FleetAddress(i).toStdString());
        list += fleet.FleetAddress(i).toLatin1() + "\n";
    }
    QFile listFile(dir.filePath("fleet.txt"));
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(list) != list.size())
        return 1;
    listFile.close();
    const FloorBatches batches = SaveBatches();
    size_t gets = 0;
    for (const auto& batch : batches)
        gets += batch.size();
    const QStringList args {"--port", QString::number(fleet.Port()), "--timeout", "1", "--retries", "0", "--jobs",
        QString::number(kJobs), "--hosts", listFile.fileName(), "module", "save", dir.filePath("module-{host}.txt")};

    const std::vector<double> best = bench::BestOfInterleaved(kRounds,
        {[&] {
             int status = 0;
             const double seconds = TimedCtlProcess(KALVOR_CTL_PATH, args, status);
             if (status != 0)
                 fprintf(stderr, "module save failed: status %d\n", status);
             return seconds;
         },
            [&] { return FleetReadFloorSeconds(addresses, fleet.Port(), kCommunity, kJobs, batches); }});
    const double ctl = best[0], floor = best[1];
    const int files = int(QDir(dir.path()).entryList({"module-*.txt"}, QDir::Files).size());
    printf("kalvorctl module save of %d modules (%d files), --jobs %d: %.3f s (best of %d)\n", kModules, files, kJobs,
        ctl, kRounds);
    printf("bare Net-SNMP loop, %d in flight, %zu batches of %zu GETs in all, each after a 150 ms pause: %.3f s "
           "(best of %d)\n",
        kJobs, batches.size(), gets, floor, kRounds);
    printf("ratio %.2f\n", ctl / floor);
    return 0;
}
