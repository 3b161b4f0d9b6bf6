// kalvorctl's module commands against simulated modules: at each firmware
// level a module is saved, drifts, and module diff shows exactly the drift;
// module apply writes exactly that back (the simulator's journal), with the
// windows' requests, and leaves nothing to differ. Refused files and modules
// leave no write; an interrupted apply names what it wrote.

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <string>
#include <vector>

#include "fleet/SettingsApply.h"
#include "fleet/SettingsReadAll.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"
#include "support/CtlProcess.h"
#include "support/SettingsDrift.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"

namespace {

CtlRun Ctl(const SimModule& sim, const QStringList& args, const QByteArray& input = {})
{
    return RunCtlProcess(KALVOR_CTL_PATH, QStringList {"--port", QString::number(sim.Port())} + args, {}, input);
}

// The keys of diff or apply lines ("vlan_tag: 1 -> 100  [VLAN tag]").
QStringList Keys(const QString& out)
{
    QStringList keys;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
        if (line.contains(" -> "))
            keys << line.section(':', 0, 0);
    return keys;
}

std::string Threshold(int n) { return Oid::TrapThreshold(n); }

}  // namespace

Q_DECLARE_METATYPE(Changes)
Q_DECLARE_METATYPE(Sets)

class TestCtlModule : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    void saveDriftDiffApply_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<Changes>("drift");
        QTest::addColumn<QStringList>("keys");  // what diff shows
        QTest::addColumn<Sets>("sets");  // what apply writes back, in order
        QTest::newRow("4.050: setters, one mode word")
            << R"({"firmware": "4.050", "objects": {".1.1.9.0": {"value": 32}}})"
            << Changes {{Oid::kVlanTag, 'i', "100"}, {Oid::kModeWord1, 'i', "33"},
                   {Oid::kMacLock2, 'x', "02 00 00 00 00 09"}}
            << QStringList {"vlan_tag", "mac_lock2", "mode1.bit0"}
            << Sets {{Oid::kMacLock2, "00 0A 1B 00 00 02"}, {Oid::kVlanTag, "1"}, {Oid::kModeWord1, "32"}};
        QTest::newRow("4.066: count minus one, both words in one request")
            << R"({"firmware": "4.066", "objects": {".1.1.9.0": {"value": 0}, ".1.1.11.0": {"value": 0}}})"
            << Changes {{Oid::kPingRestartCount, 'i', "9"}, {Oid::kModeWord2, 'i', "1"}}
            << QStringList {"ping_restart_count", "mode2.bit0"}
            << Sets {{Oid::kPingRestartCount, "255"}, {Oid::kModeWord1, "0"}, {Oid::kModeWord2, "0"}};
        QTest::newRow("4.073: modes in two passes, serial, traps, switch")
            << "{}"
            << Changes {{Oid::kModeWord2, 'i', "24"}, {Oid::kSerialParity, 'i', "2"}, {Threshold(4), 'i', "950"},
                   {Threshold(15), 'i', "7"}, {Oid::kTrapServer, 'a', "127.0.0.99"},
                   {Oid::SwitchRegister(13), 'i', "0"}}
            << QStringList {"mode2.bit4", "serial.parity", "trap.server", "trap.ch2.high", "trap.ch8.low",
                   "switch.reg013"}
            << Sets {{Oid::kModeWord1, "160"}, {Oid::kModeWord2, "8"}, {Oid::kSerialBaud, "7"},
                   {Oid::kSerialParity, "0"}, {Oid::kSerialTimeout, "4"}, {Threshold(15), "107"}, {Threshold(4), "901"},
                   {Oid::kTrapServer, "127.0.0.162"}, {Oid::SwitchRegister(13), "15"}};
        QTest::newRow("4.078: access filter, no serial port")
            << R"({"firmware": "4.078"})"
            << Changes {{Oid::kAccessIp, 'a', "127.0.0.77"}, {Oid::kGateway, 'a', "127.0.0.1"}}
            << QStringList {"gateway", "access_ip"}
            << Sets {{Oid::kGateway, "127.0.0.254"}, {Oid::kAccessIp, "127.0.0.0"}};
    }
    void saveDriftDiffApply()
    {
        QFETCH(QString, state);
        QFETCH(Changes, drift);
        QTemporaryDir dir;
        const QString file = dir.filePath("module.txt");
        SimModule sim(state.toStdString());
        const CtlRun saved = Ctl(sim, {"module", "save", sim.Address(), file});
        QVERIFY2(saved.status == 0, qPrintable(saved.err));
        Drift(sim, drift);

        const CtlRun diff = Ctl(sim, {"--exit-code", "module", "diff", sim.Address(), file});
        QCOMPARE(diff.status, 1);
        QTEST(Keys(diff.out), "keys");

        sim.ClearJournal();
        const CtlRun apply = Ctl(sim, {"--yes", "module", "apply", sim.Address(), file});
        QVERIFY2(apply.status == 0, qPrintable(apply.out + apply.err));
        QTEST(SetsOf(sim), "sets");
        QVERIFY(apply.out.contains("written and read back"));

        const CtlRun again = Ctl(sim, {"--exit-code", "module", "diff", sim.Address(), file});
        QCOMPARE(again.status, 0);
        QCOMPARE(again.out, QString());
    }

    // Nothing is written for a file, a value or a module that is refused, nor
    // without the operator's yes; a file's own faults are found before any
    // request.
    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QString>("edit");  // "KEY=VALUE", or "cut": the file cut short
        QTest::addColumn<QString>("moduleState");  // the module applied to
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("asked");  // the module was read
        QTest::addColumn<QString>("message");
        QTest::newRow("format 2") << "format=2"
                                  << "{}" << QStringList {"--yes"} << 2 << false << "format 2";
        QTest::newRow("cut short") << "cut"
                                   << "{}" << QStringList {"--yes"} << 2 << false << "is missing";
        QTest::newRow("outside the window's range") << "ping_restart_minutes=0"
                                                    << "{}" << QStringList {"--yes"} << 2 << false << "outside 1..255";
        QTest::newRow("module address 0.0.0.0")
            << "ip=0.0.0.0"
            << "{}" << QStringList {"--yes", "--with-address"} << 2 << false << "cut the module off";
        QTest::newRow("older firmware") << "vlan_tag=7"
                                        << R"({"firmware": "4.066"})" << QStringList {"--yes"} << 7 << true
                                        << "has no Trap Server IP address";
        QTest::newRow("no switch board") << "vlan_tag=7"
                                         << R"({"objects": {".1.1.9.0": {"value": 128}}})" << QStringList {"--yes"} << 7
                                         << true << "no switch board";
        QTest::newRow("not confirmed") << "vlan_tag=7"
                                       << "{}" << QStringList {} << 7 << true << "not confirmed";
    }
    void refusalsWriteNothing()
    {
        QFETCH(QString, edit);
        QFETCH(QString, moduleState);
        QFETCH(QStringList, options);
        QTemporaryDir dir;
        QByteArray text;
        {
            SimModule source;
            const QString path = dir.filePath("saved.txt");
            QCOMPARE(Ctl(source, {"module", "save", source.Address(), path}).status, 0);
            text = ReadAll(path);
        }
        if (edit == "cut")
            text.truncate(text.indexOf("switch.reg100"));
        else
            text = Edited(text, edit.section('=', 0, 0), edit.section('=', 1));
        const QString file = Write(dir, "edited.txt", text);
        SimModule sim(moduleState.toStdString());
        const CtlRun apply = Ctl(sim, options + QStringList {"module", "apply", sim.Address(), file}, "n\n");
        QTEST(apply.status, "status");
        QFETCH(QString, message);
        QVERIFY2(apply.err.contains(message), qPrintable(apply.err));
        QVERIFY(SetsOf(sim).empty());
        QTEST(!sim.Journal().empty(), "asked");
    }

    // Many modules are not asked one by one: --hosts needs --yes.
    void fleetApplyNeedsYes()
    {
        SimModule sim;
        const CtlRun run = Ctl(sim, {"--hosts", "-", "module", "apply", "{host}.txt"}, "127.0.0.1\n");
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains("needs --yes"));
        QVERIFY(sim.Journal().empty());
    }

    // Interrupted in the pause between the mode words' two passes: the first
    // word is written and read back, the second never sent, and the run says so.
    void interruptedApplyNamesWhatWasWritten()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("module.txt");
        SimModule sim;
        QCOMPARE(Ctl(sim, {"module", "save", sim.Address(), file}).status, 0);
        Drift(sim, {{Oid::kVlanTag, 'i', "5"}, {Oid::kModeWord1, 'i', "161"}, {Oid::kModeWord2, 'i', "9"}});
        sim.ClearJournal();
        QProcess process;
        StartCtlProcess(process, KALVOR_CTL_PATH,
            {"--port", QString::number(sim.Port()), "--yes", "module", "apply", sim.Address(), file});
        QTRY_VERIFY_WITH_TIMEOUT(SetsOf(sim).size() == 2, 20000);  // VLAN tag, mode word 1: in the pause
        kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        QCOMPARE(process.exitCode(), 130);
        QVERIFY2(out.contains("written and read back (2): vlan_tag, mode1.bit0"), qPrintable(out));
        QVERIFY2(out.contains("not written: mode2.bit0: not sent"), qPrintable(out));
        QCOMPARE(SetsOf(sim), (Sets {{Oid::kVlanTag, "1"}, {Oid::kModeWord1, "160"}}));
    }

    // A window's Cancel during an apply: what was sent is named, the rest is
    // not sent, and nothing more goes out (no read-back either).
    void cancelledApplyNamesWhatWasSent()
    {
        SimModule sim;
        sim.Use();
        const std::string host = sim.Address().toStdString();
        SettingsReadResult read;
        CSettingsReadAll all(host, "582019374620");
        bool readDone = false;
        all.Start([&](const SettingsReadResult& result) {
            read = result;
            readDone = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(readDone, 20000);
        QVERIFY(read.failure == SettingsReadResult::Failure::None);
        SettingsSnapshot file = read.snapshot;
        file.values["vlan_tag"] = "100";
        file.values["ping_restart_minutes"] = "9";
        file.values["trap.ch1.low"] = "5";

        CSettingsApply* running = nullptr;
        ApplyFlow flow;
        flow.progress = [&running](int done, int) {
            if (done == 1)
                running->Cancel();  // the first setter answered
        };
        CSettingsApply apply(host, "582019374620", "marbled", flow);
        running = &apply;
        sim.ClearJournal();
        ApplyResult result;
        bool applied = false;
        apply.Start(
            read.snapshot, file, {"vlan_tag", "ping_restart_minutes", "trap.ch1.low"}, [&](const ApplyResult& outcome) {
                result = outcome;
                applied = true;
            });
        QTRY_VERIFY_WITH_TIMEOUT(applied, 20000);
        QVERIFY(result.cancelled);
        QCOMPARE(result.Keys(WriteOutcome::Unchecked), std::vector<std::string> {"vlan_tag"});
        QCOMPARE(
            result.Keys(WriteOutcome::NotSent), (std::vector<std::string> {"ping_restart_minutes", "trap.ch1.low"}));
        QCOMPARE(SetsOf(sim), (Sets {{Oid::kVlanTag, "100"}}));
        QCOMPARE(int(sim.Journal().size()), 1);
    }

    // The file and its offline commands.
    void offlineShowAndDiff()
    {
        QTemporaryDir dir;
        SimModule sim;
        const QString first = dir.filePath("first.txt"), second = dir.filePath("second.txt");
        QCOMPARE(Ctl(sim, {"module", "save", sim.Address(), first}).status, 0);
        Drift(sim, {{Oid::kMonitorIp, 'a', "127.0.0.21"}});
        QCOMPARE(Ctl(sim, {"--json", "module", "save", sim.Address(), second}).status, 0);
        const CtlRun show = Ctl(sim, {"module", "show", first});
        QCOMPARE(show.status, 0);
        QVERIFY(show.out.contains("monitor_ip: 127.0.0.20  [Monitor IP]\n"));
        QCOMPARE(show.out.count('\n'), 2 + 174);  // firmware, MAC and the settings of a 4.073 module
        const CtlRun diff = Ctl(sim, {"--exit-code", "module", "diff", first, second});
        QCOMPARE(diff.status, 1);
        QCOMPARE(diff.out, QString("monitor_ip: 127.0.0.20 -> 127.0.0.21  [Monitor IP]\n"));
    }
};

QTEST_GUILESS_MAIN(TestCtlModule)
#include "test_ctl_module.moc"
