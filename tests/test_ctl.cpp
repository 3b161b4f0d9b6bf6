// kalvorctl against simulated modules: every command's output, files and
// exit status, bad command lines, a fleet with one silent module, the
// phases of a switch write, and the traffic log against the simulator's
// journal.

#include <QJsonArray>
#include <QJsonDocument>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <filesystem>
#include <set>
#include <functional>
#include <string>
#include <vector>

#include "snmp/ModuleObjects.h"
#include "support/CtlTestKit.h"
#include "support/FileSizeLimit.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "settings/SwitchTables.h"

namespace {

// A fleet of 20 modules from 127.1.0.1 (each with the registers of
// `RegisterObjects({{0, 0x5A}, {127, 0xA5}})`): three silent, one slow.
SimFleetSpec TwentyModules()
{
    SimFleetSpec spec;
    spec.size = 20;
    spec.stateJson = RegisterObjects({{0, 0x5A}, {127, 0xA5}});
    spec.silent = {"127.1.0.3", "127.1.0.8", "127.1.0.15"};
    spec.slow = {"127.1.0.6"};
    spec.slowMs = 5;  // 128 answers: 0.64 s late in all, within one time-out each
    return spec;
}

QByteArray FleetImage()
{
    QByteArray image = DefaultImage();
    image[0] = char(0x5A);
    image[127] = char(0xA5);
    return image;
}

// The arguments of a switch write of two modules, `jobs` at once, with
// --hosts-out "again"; the file (one register changed) and the list go to `dir`.
QStringList WriteOfTwo(const QTemporaryDir& dir, const QString& first, const QString& second, int jobs)
{
    QByteArray image = DefaultImage();
    image[9] = char(0x42);
    WriteAll(dir.filePath("s.rcs"), image);
    WriteAll(dir.filePath("list"), (first + "\n" + second + "\n").toLatin1());
    return {"--jobs", QString::number(jobs), "--hosts", dir.filePath("list"), "--hosts-out", dir.filePath("again"),
        "switch", "write", dir.filePath("s.rcs")};
}

// The files of `dir` but the host list.
QStringList Files(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name); }


}  // namespace

class TestCtl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    void badCommandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList {} << "no command";
        QTest::newRow("unknown command") << QStringList {"status", "127.0.0.1"} << "unknown command status";
        QTest::newRow("unknown switch command") << QStringList {"switch", "erase", "127.0.0.1", "f"} << "erase";
        QTest::newRow("unknown option") << QStringList {"--verbose", "info", "127.0.0.1"} << "unknown option --verbose";
        QTest::newRow("missing host") << QStringList {"info"} << "missing HOST";
        QTest::newRow("missing file") << QStringList {"switch", "read", "127.0.0.1"} << "missing FILE";
        QTest::newRow("surplus") << QStringList {"info", "127.0.0.1", "127.0.0.2"} << "surplus argument 127.0.0.2";
        QTest::newRow("bad host") << QStringList {"info", "127.0.0"} << "not a dotted IPv4 address";
        QTest::newRow("host out of range") << QStringList {"info", "127.0.0.256"} << "not a dotted IPv4 address";
        QTest::newRow("port 0") << QStringList {"--port", "0", "info", "127.0.0.1"} << "--port";
        QTest::newRow("port text") << QStringList {"--port=abc", "info", "127.0.0.1"} << "--port";
        QTest::newRow("timeout") << QStringList {"--timeout", "-1", "info", "127.0.0.1"} << "--timeout";
        QTest::newRow("retries") << QStringList {"info", "127.0.0.1", "--retries", "x"} << "--retries";
        QTest::newRow("option without value") << QStringList {"info", "127.0.0.1", "--ro"} << "needs a value";
        QTest::newRow("exit code for info") << QStringList {"--exit-code", "info", "127.0.0.1"} << "--exit-code";
        QTest::newRow("json with a value") << QStringList {"--json=1", "info", "127.0.0.1"} << "--json takes no value";
        QTest::newRow("no jobs") << QStringList {"--jobs", "0", "info", "127.0.0.1"} << "--jobs: not a number";
        QTest::newRow("too many jobs") << QStringList {"--jobs", "100000", "info", "127.0.0.1"} << "--jobs";
        QTest::newRow("scan everything") << QStringList {"scan", "0.0.0.0/0"} << "larger than a /16";
        QTest::newRow("scan too wide a span") << QStringList {"scan", "127.0.0.1-127.1.0.1"} << "larger than a /16";
        QTest::newRow("scan backwards") << QStringList {"scan", "127.0.0.9-127.0.0.1"} << "first address is above";
        QTest::newRow("scan no range") << QStringList {"scan", "127.0.0.1"} << "not a range";
        QTest::newRow("scan bad prefix") << QStringList {"scan", "127.0.0.0/33"} << "prefix";
        QTest::newRow("scan and hosts") << QStringList {"--hosts", "-", "scan", "127.0.0.0/24"} << "--hosts";
        QTest::newRow("hosts out for one") << QStringList {"--hosts-out", "x", "info", "127.0.0.1"} << "--hosts-out";
        QTest::newRow("show without file") << QStringList {"switch", "show"} << "missing FILE";
        QTest::newRow("hosts file and host") << QStringList {"--hosts", "-", "info", "127.0.0.1"} << "surplus";
    }
    void badCommandLines()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        SimModule sim;
        const CtlRun run = Ctl(PortArgs(sim) + args);
        QCOMPARE(run.status, 2);
        QCOMPARE(Lines(run.err).size(), 1);
        QVERIFY2(run.err.startsWith("kalvorctl: ") && run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.err.endsWith(" (see kalvorctl --help)\n"));
        QVERIFY(run.out.isEmpty());
        QVERIFY(sim.Journal().empty());
    }

    void helpAndVersion()
    {
        const CtlRun help = Ctl({"info", "--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.startsWith("usage: kalvorctl"));
        const CtlRun version = Ctl({"--version"});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QString("kalvorctl 2.07\n"));
    }

    // What "Read Settings" reads at each feature level, and nothing more.
    void info_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("4.050: seven objects")
            << "4.050"
            << QStringList {"ip", "mac", "vlan_tag", "mac_lock1", "mac_lock2", "ping_restart_minutes", "mode1"}
            << QStringList {"mode2", "ping_restart_count", "netmask", "access_ip"};
        QTest::newRow("4.066: ten objects")
            << "4.066" << QStringList {"mode2", "ping_restart_count", "restart_pulse_width"}
            << QStringList {"netmask", "gateway", "access_ip"};
        QTest::newRow("4.073: fourteen objects")
            << "4.073" << QStringList {"netmask", "gateway", "tftp_server", "monitor_ip"} << QStringList {"access_ip"};
        QTest::newRow("4.078: and the access filter")
            << "4.078" << QStringList {"netmask", "access_ip", "access_mask"} << QStringList {};
    }
    void info()
    {
        QFETCH(QString, firmware);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        SimModule sim(R"({"firmware": ")" + firmware.toStdString() + R"(", "objects": {
            ".1.1.1.0": {"type": "a", "value": "10.1.2.3"},
            ".1.1.2.0": {"type": "x", "value": "00 0A 1B 2C 3D 4E"},
            ".1.1.3.0": {"type": "i", "value": 77}}})");
        const CtlRun text = Ctl(PortArgs(sim) + QStringList {"info", "127.0.0.1"});
        QCOMPARE(text.status, 0);
        QVERIFY(text.err.isEmpty());
        QMap<QString, QString> values;
        int valueColumn = -1;
        for (const QString& line : Lines(text.out)) {
            const int colon = line.indexOf(':');
            QVERIFY2(colon > 0, qPrintable(line));
            const int column = int(line.indexOf(QRegularExpression("\\S"), colon + 1));
            QVERIFY2(valueColumn < 0 || column == valueColumn, "values aligned");
            valueColumn = column;
            values[line.left(colon)] = line.mid(column);
        }
        QCOMPARE(values.value("firmware"), firmware);
        QCOMPARE(values.value("ip"), QString("10.1.2.3"));
        QCOMPARE(values.value("mac"), QString("00 0A 1B 2C 3D 4E"));
        QCOMPARE(values.value("vlan_tag"), QString("77"));
        QVERIFY(QRegularExpression("^0x[0-9A-F]{2}$").match(values.value("mode1")).hasMatch());
        for (const QString& key : present)
            QVERIFY2(values.contains(key), qPrintable(key));
        for (const QString& key : absent)
            QVERIFY2(!values.contains(key), qPrintable(key));
        // Read with the read-only community only.
        for (const JournalEntry& entry : sim.Journal()) {
            QCOMPARE(entry.op, std::string("get"));
            QCOMPARE(entry.community, std::string("582019374620"));
        }

        const CtlRun json = Ctl(PortArgs(sim) + QStringList {"--json", "info", "127.0.0.1"});
        QCOMPARE(json.status, 0);
        QVERIFY(json.out.startsWith("{\"host\": \"127.0.0.1\""));
        QJsonParseError error {};
        const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object.size(), values.size() + 2);
        QCOMPARE(object.value("status").toInt(-1), 0);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            QCOMPARE(object.value(it.key()).toString(), it.value());
    }

    void infoFailures_data()
    {
        QTest::addColumn<std::string>("state");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong community: no answer")
            << std::string("{}") << QStringList {"--ro", "wrong"} << "firmware version: no answer";
        QTest::newRow("settings refused") << std::string(R"({"faults": {".1.1.3.0": {"error": 5}}})") << QStringList {}
                                          << "settings: the module refused";
        QTest::newRow("old firmware") << std::string(R"({"firmware": "3.090"})") << QStringList {}
                                      << "firmware version: firmware 3.090 is not supported";
    }
    void infoFailures()
    {
        QFETCH(std::string, state);
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        SimModule sim(state);
        const CtlRun run = Ctl(PortArgs(sim) + args + QStringList {"--timeout", "0.3", "info", "127.0.0.1"});
        QCOMPARE(run.status, 1);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(Lines(run.err).size(), 1);
        QVERIFY2(run.err.startsWith("kalvorctl: 127.0.0.1: " + message), qPrintable(run.err));
    }

    void communitiesFromEnvironment()
    {
        SimModule sim(R"({"readCommunity": "envread", "writeCommunity": "envwrite"})");
        QTemporaryDir dir;
        const QString file = dir.filePath("s.rcs");
        QByteArray image = DefaultImage();
        image[3] = char(0x11);
        WriteAll(file, image);
        const CtlRun run = Ctl(PortArgs(sim) + QStringList {"switch", "write", "127.0.0.1", file},
            {"KALVOR_RO_COMMUNITY=envread", "KALVOR_RW_COMMUNITY=envwrite"});
        QCOMPARE(run.status, 0);
        for (const JournalEntry& entry : sim.Journal()) {
            const bool write
                = entry.op == "set" || entry.oid == Oid::kRestartSwitch || entry.oid == Oid::kConfirmSwitch;
            QCOMPARE(entry.community, std::string(write ? "envwrite" : "envread"));
        }
        // --rw beats the environment.
        const CtlRun option = Ctl(
            PortArgs(sim) + QStringList {"--timeout", "0.3", "--rw", "other", "switch", "write", "127.0.0.1", file},
            {"KALVOR_RO_COMMUNITY=envread", "KALVOR_RW_COMMUNITY=envwrite"});
        QCOMPARE(option.status, 0);  // the module already holds the file's image
        QVERIFY(option.out.contains("No changes made!"));
    }

    // The module stores a community as Latin-1 bytes, at most 12: the limit
    // counts those, and a character it cannot store is refused as such.
    void communities_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("env");
        QTest::addColumn<QString>("message");  // empty: accepted, the module answers
        const QString twelve = QString::fromUtf8("\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc");
        QTest::newRow("12 Latin-1 characters, 24 UTF-8 bytes") << QStringList {"--ro", twelve} << QStringList {} << "";
        QTest::newRow("the same from the environment")
            << QStringList {} << QStringList {"KALVOR_RO_COMMUNITY=" + twelve} << "";
        QTest::newRow("13 characters")
            << QStringList {"--rw", twelve + "x"} << QStringList {} << "--rw: the community string has more than 12";
        QTest::newRow("outside Latin-1") << QStringList {"--ro", QString::fromUtf8("pr\u20ac")} << QStringList {}
                                         << "--ro: the community string holds a character outside Latin-1";
        QTest::newRow("outside Latin-1, environment") << QStringList {}
                                                      << QStringList {"KALVOR_RW_COMMUNITY=\u0161"}
                                                      << "KALVOR_RW_COMMUNITY: the community string holds a character";
        QTest::newRow("empty option") << QStringList {"--ro", ""} << QStringList {} << "--ro: the community string is empty";
        QTest::newRow("empty variable") << QStringList {} << QStringList {"KALVOR_RO_COMMUNITY="}
                                        << "KALVOR_RO_COMMUNITY is set but empty";
        QTest::newRow("option beats an empty variable")
            << QStringList {"--ro", twelve} << QStringList {"KALVOR_RO_COMMUNITY="} << "";
    }
    void communities()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, env);
        QFETCH(QString, message);
        SimModule sim("{\"readCommunity\": \"\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc\"}");
        const CtlRun run = Ctl(PortArgs(sim) + args + QStringList {"--timeout", "0.3", "--retries", "0", "info", "127.0.0.1"},
            QStringList {"LC_ALL=C.UTF-8"} + env);
        if (message.isEmpty()) {
            QVERIFY2(run.status == 0, qPrintable(run.err));
            return;
        }
        QCOMPARE(run.status, 2);
        QCOMPARE(Lines(run.err).size(), 1);
        QVERIFY2(run.err.startsWith("kalvorctl: " + message), qPrintable(run.err));
        QVERIFY(sim.Journal().empty());
    }

    // Each part of an address is decimal: the request goes to the module the
    // output names, in canonical form, and to no other. Three simulated
    // modules listen on 127.0.0.1, .8 and .10 (octal 010).
    void moduleAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("used");  // empty: refused before any exchange
        QTest::addColumn<QString>("listed");  // the same from a host list, whose lines are trimmed
        QTest::addColumn<QString>("refusal");
        const QString notDotted = "not a dotted IPv4 address (four decimal numbers from 0 to 255)";
        QTest::newRow("leading zero") << "127.0.0.010" << "127.0.0.10" << "127.0.0.10" << "";
        QTest::newRow("zero-padded") << "127.000.000.001" << "127.0.0.1" << "127.0.0.1" << "";
        QTest::newRow("padded eight") << "127.0.0.008" << "127.0.0.8" << "127.0.0.8" << "";
        QTest::newRow("unspecified") << "0.0.0.0" << "" << "" << "the unspecified address is not a module address";
        QTest::newRow("broadcast") << "255.255.255.255" << "" << ""
                                   << "the broadcast address is not a module address";
        QTest::newRow("multicast") << "224.0.0.1" << "" << "" << "a multicast address is not a module address";
        QTest::newRow("part above 255") << "127.0.0.256" << "" << "" << notDotted;
        QTest::newRow("three parts") << "1.2.3" << "" << "" << notDotted;
        QTest::newRow("leading blank") << " 127.0.0.1" << "" << "127.0.0.1" << notDotted;
    }
    void moduleAddresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, used);
        QFETCH(QString, listed);
        QFETCH(QString, refusal);
        SimModule one("{}", "127.0.0.1");
        SimModule eight("{}", "127.0.0.8", one.Port());
        SimModule ten("{}", "127.0.0.10", one.Port());
        const auto reachedOnly = [&](const QString& address) {
            for (SimModule* sim : {&one, &eight, &ten}) {
                const bool reached = !sim->Journal().empty();
                QVERIFY2(reached == (sim->Address() == address), qPrintable(sim->Address()));
                sim->ClearJournal();
            }
        };
        const CtlRun single = Ctl(PortArgs(one) + QStringList {"--json", "info", text});
        reachedOnly(used);
        if (used.isEmpty()) {
            QCOMPARE(single.status, 2);
            QCOMPARE(single.err, "kalvorctl: " + refusal + ": " + text + " (see kalvorctl --help)\n");
        } else {
            QCOMPARE(single.status, 0);
            QCOMPARE(QJsonDocument::fromJson(single.out.toUtf8()).object().value("host").toString(), used);
        }

        QTemporaryDir dir;
        const QString list = dir.filePath("list.txt");
        WriteAll(list, text.toLatin1() + "\n");
        const CtlRun fleet
            = Ctl(PortArgs(one) + QStringList {"--hosts", list, "switch", "read", dir.filePath("{host}.rcs")});
        reachedOnly(listed);
        const QStringList files = QDir(dir.path()).entryList({"*.rcs"});
        if (listed.isEmpty()) {
            QCOMPARE(fleet.status, 2);
            QCOMPARE(fleet.err, "kalvorctl: " + list + ":1: " + refusal + ": " + text + "\n");
            QVERIFY(files.isEmpty());
            return;
        }
        QCOMPARE(fleet.status, 0);
        QCOMPARE(Lines(fleet.out),
            QStringList({listed + ": switch configuration written to " + dir.filePath(listed + ".rcs"),
                listed + ": done (status 0)"}));
        QCOMPARE(files, QStringList {listed + ".rcs"});
    }

    void switchRead()
    {
        SimModule sim(RegisterObjects({{0, 0x12}, {127, 0x34}}));
        QTemporaryDir dir;
        const QString file = dir.filePath("s.rcs");
        const CtlRun run = Ctl(PortArgs(sim) + QStringList {"switch", "read", "127.0.0.1", file});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        QByteArray expected = DefaultImage();
        expected[0] = char(0x12);
        expected[127] = char(0x34);
        QCOMPARE(ReadAll(file), expected);
        // 128 reads in register order, nothing written.
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(128));
        for (int r = 0; r < 128; ++r)
            QCOMPARE(journal[size_t(r)].oid, Oid::SwitchRegister(r));
        // A folder that does not take the file is found before any exchange.
        sim.ClearJournal();
        const CtlRun unwritable
            = Ctl(PortArgs(sim) + QStringList {"switch", "read", "127.0.0.1", dir.filePath("no/such/dir/s.rcs")});
        QCOMPARE(unwritable.status, 2);
        QVERIFY(unwritable.err.startsWith("kalvorctl: 127.0.0.1: file: "));
        QVERIFY(sim.Journal().empty());
    }

    // A disk that fills while the backup is written (a file size limit of
    // 64 bytes here) leaves the old backup byte for byte and says so.
    void switchReadOnAFullDiskKeepsTheOldFile()
    {
        SimModule sim(RegisterObjects({{0, 0x12}}));
        QTemporaryDir dir;
        const QString file = dir.filePath("keep.rcs");
        QByteArray old = DefaultImage();
        old[5] = char(0x77);
        WriteAll(file, old);
        const CtlRun run = Ctl(PortArgs(sim) + QStringList {"switch", "read", "127.0.0.1", file}, {}, {},
            [] { FileSizeLimit::ApplyForGood(64); });
        QCOMPARE(run.status, 2);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err, "kalvorctl: 127.0.0.1: file: " + file
                + ": File too large; an existing file is left as it was\n");
        QCOMPARE(ReadAll(file), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {"keep.rcs"});
        QCOMPARE(sim.Journal().size(), size_t(128));
    }

    // A failed or implausible read leaves the file as it was.
    void switchReadFailures_data()
    {
        QTest::addColumn<std::string>("state");
        QTest::addColumn<int>("status");
        std::vector<std::pair<int, int>> allOnes;
        for (int r = 0; r < 128; ++r)
            allOnes.push_back({r, r % 3 ? 0xFF : 0x00});
        QTest::newRow("implausible") << RegisterObjects(allOnes) << 4;
        QTest::newRow("silent register") << std::string(
            R"({"faults": {")" + Oid::SwitchRegister(40) + R"(": {"silence": true}}})")
                                         << 3;
        QTest::newRow("refused register")
            << std::string(R"({"faults": {")" + Oid::SwitchRegister(5) + R"(": {"error": 5}}})") << 3;
    }
    void switchReadFailures()
    {
        QFETCH(std::string, state);
        QFETCH(int, status);
        SimModule sim(state);
        QTemporaryDir dir;
        const QString file = dir.filePath("s.rcs");
        WriteAll(file, "old contents");
        for (const char* command : {"read", "diff", "write"}) {
            const CtlRun run = Ctl(PortArgs(sim)
                + QStringList {"--timeout", "0.3", "--retries", "0", "switch", command, "127.0.0.1", file});
            QCOMPARE(run.status, status);
            if (QByteArray(command) == "read") {
                QCOMPARE(ReadAll(file), QByteArray("old contents"));
                WriteAll(file, DefaultImage());  // diff and write need a configuration file
            }
            QCOMPARE(Lines(run.err).size(), 1);
            QVERIFY2(run.err.startsWith("kalvorctl: 127.0.0.1: switch read: "), qPrintable(run.err));
        }
        for (const JournalEntry& entry : sim.Journal())
            QCOMPARE(entry.op, std::string("get"));  // nothing written after a bad read
    }

    void switchDiff()
    {
        SimModule sim(RegisterObjects({{11, 0xFF}, {55, 0x02}}));
        QTemporaryDir dir;
        const QString file = dir.filePath("s.rcs");
        QByteArray image = DefaultImage();
        image[11] = char(0x00);
        image[55] = char(0x01);
        image[16] = char(0xC0);  // the default: no difference
        WriteAll(file, image);
        const CtlRun run = Ctl(PortArgs(sim) + QStringList {"switch", "diff", "127.0.0.1", file});
        QCOMPARE(run.status, 0);
        const QStringList lines = Lines(run.out);
        QCOMPARE(lines.size(), 2);
        // Register 11 is port 0's enable register; 55 holds port 3's VLAN flags.
        QVERIFY2(lines[0].startsWith("register 11: 0xFF -> 0x00  [Port 0: Enable Port (Rx/Tx); "
                                     "Port 0: Enable Learning of MAC addresses]"),
            qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith("register 55: 0x02 -> 0x01  [Port 3: Local loopback;"), qPrintable(lines[1]));
        QVERIFY(lines[1].contains("Port 3: Disalble Port Priority function"));
        for (const JournalEntry& entry : sim.Journal())
            QCOMPARE(entry.op, std::string("get"));

        // Equal: nothing printed. Short file: status 2 before any exchange.
        QCOMPARE(Ctl(PortArgs(sim) + QStringList {"switch", "read", "127.0.0.1", file}).status, 0);
        const CtlRun same = Ctl(PortArgs(sim) + QStringList {"switch", "diff", "127.0.0.1", file});
        QCOMPARE(same.status, 0);
        QCOMPARE(same.out, QString());
        sim.ClearJournal();
        WriteAll(file, DefaultImage().left(127));
        const CtlRun shortFile = Ctl(PortArgs(sim) + QStringList {"switch", "diff", "127.0.0.1", file});
        QCOMPARE(shortFile.status, 2);
        QVERIFY(shortFile.err.contains("127 bytes"));
        QVERIFY(sim.Journal().empty());
    }

    // A difference in the first or the last register alone is found.
    void switchDiffAtTheEnds_data()
    {
        QTest::addColumn<int>("reg");
        QTest::newRow("register 0") << 0;
        QTest::newRow("register 127") << 127;
    }
    void switchDiffAtTheEnds()
    {
        QFETCH(int, reg);
        SimModule sim;
        QTemporaryDir dir;
        const QString file = dir.filePath("s.rcs");
        QByteArray image = DefaultImage();
        image[reg] = char(~image[reg]);
        WriteAll(file, image);
        const CtlRun run = Ctl(PortArgs(sim) + QStringList {"switch", "diff", "127.0.0.1", file});
        QCOMPARE(run.status, 0);
        const QStringList lines = Lines(run.out);
        QCOMPARE(lines.size(), 1);
        const QString expected
            = QString::asprintf("register %d: 0x%02X -> 0x%02X", reg, kDefaultImage[size_t(reg)], uint8_t(image[reg]));
        QVERIFY2(lines[0].startsWith(expected),
            qPrintable(lines[0]));
    }

    // The window's sequence: changed registers, restart, confirmation; the
    // status tells which phase failed.
    void switchWrite_data()
    {
        QTest::addColumn<std::string>("faults");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("restarts");
        QTest::addColumn<int>("confirms");
        QTest::addColumn<QString>("message");
        QTest::newRow("confirmed") << std::string() << 0 << 1 << 1 << "";
        QTest::newRow("upload refused") << std::string(
            R"(")" + Oid::SwitchRegister(20) + R"(": {"error": 3, "on": "set"})")
                                        << 5 << 0 << 0 << "upload: the module refused";
        QTest::newRow("restart unanswered")
            << std::string(R"(")" + std::string(Oid::kRestartSwitch) + R"(": {"silence": true})") << 0 << 1 << 1 << "";
        QTest::newRow("confirmation fails")
            << std::string(R"(")" + std::string(Oid::kConfirmSwitch) + R"(": {"silence": true})") << 6 << 1 << 1
            << "confirmation: no answer";
        QTest::newRow("confirmation refused")
            << std::string(R"(")" + std::string(Oid::kConfirmSwitch) + R"(": {"error": 5})") << 6 << 1 << 1
            << "confirmation: the module refused";
    }
    void switchWrite()
    {
        QFETCH(std::string, faults);
        QFETCH(int, status);
        QFETCH(int, restarts);
        QFETCH(int, confirms);
        QFETCH(QString, message);
        SimModule sim(RegisterObjects({}, faults.empty() ? "" : ", \"faults\": {" + faults + "}"));
        QTemporaryDir dir;
        const QString file = dir.filePath("s.rcs");
        QByteArray image = DefaultImage();
        image[3] = char(0x9D);
        image[20] = char(0x0A);
        WriteAll(file, image);
        const CtlRun run = Ctl(
            PortArgs(sim) + QStringList {"--timeout", "0.3", "--retries", "0", "switch", "write", "127.0.0.1", file});
        QCOMPARE(run.status, status);
        const auto journal = sim.Journal();
        QCOMPARE(Count(journal, "get", Oid::kRestartSwitch), restarts);
        QCOMPARE(Count(journal, "get", Oid::kConfirmSwitch), confirms);
        // Only the two changed registers were written, in ascending order, before the restart.
        std::vector<std::string> sets;
        for (const JournalEntry& entry : journal)
            if (entry.op == "set")
                sets.push_back(entry.oid + "=" + entry.value);
        const std::vector<std::string> expected = {Oid::SwitchRegister(3) + "=157", Oid::SwitchRegister(20) + "=10"};
        QCOMPARE(sets, expected);  // a refused SET is journaled too
        if (status == 0) {
            QVERIFY(run.out.endsWith("Settings comfirmed succesfully!\n"));
            QVERIFY(run.err.isEmpty());
        } else {
            QCOMPARE(Lines(run.err).size(), 1);
            QVERIFY2(run.err.startsWith("kalvorctl: 127.0.0.1: " + message), qPrintable(run.err));
        }
        if (status != 0 || restarts != 1)
            return;
        // The module now holds the file: a second write sends nothing.
        sim.ClearJournal();
        const CtlRun again = Ctl(PortArgs(sim) + QStringList {"switch", "write", "127.0.0.1", file});
        QCOMPARE(again.status, 0);
        QCOMPARE(again.out, QString("No changes made! Skipping SNMP upload to switch memory.\n"));
        QCOMPARE(sim.Journal().size(), size_t(128));
    }

    // A file that is no configuration (not exactly 128 bytes, or bytes that
    // the switch read would call implausible) is refused with one line and
    // status 2 before any traffic; for a list with one file, once, before any
    // module is touched.
    void refusedConfigurationFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // empty: /dev/zero
        QTest::addColumn<QString>("reason");
        QByteArray random(1 << 20, 0);
        for (int i = 0; i < random.size(); ++i)
            random[i] = char((unsigned(i) * 7919u) >> 3);
        QByteArray stripes(128, char(0xFF));
        for (int i = 0; i < 128; i += 3)
            stripes[i] = 0;
        QTest::newRow("/dev/zero") << QByteArray() << "more than 128 bytes, but a configuration file holds exactly 128";
        QTest::newRow("1 MB") << random << "1048576 bytes, but";
        QTest::newRow("129 bytes") << DefaultImage() + "x" << "129 bytes, but";
        QTest::newRow("127 bytes") << DefaultImage().left(127) << "127 bytes, but";
        QTest::newRow("all 0x00") << QByteArray(128, 0) << "every byte is 0x00 or 0xFF";
        QTest::newRow("0x00 and 0xFF") << stripes << "every byte is 0x00 or 0xFF";
    }
    void refusedConfigurationFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        SimModule first("{}", "127.0.0.1");
        SimModule second("{}", "127.0.0.2", first.Port());
        QTemporaryDir dir;
        QString file = "/dev/zero";
        if (!bytes.isEmpty()) {
            file = dir.filePath("s.rcs");
            WriteAll(file, bytes);
        }
        const CtlRun one = Ctl(PortArgs(first) + QStringList {"switch", "write", "127.0.0.1", file});
        QCOMPARE(one.status, 2);
        QCOMPARE(Lines(one.err).size(), 1);
        QVERIFY2(one.err.startsWith("kalvorctl: 127.0.0.1: file: " + file + ": " + reason), qPrintable(one.err));
        QVERIFY(one.out.isEmpty());
        const CtlRun both = Ctl(PortArgs(first) + QStringList {"--hosts", "-", "switch", "write", file}, {},
            "127.0.0.1\n127.0.0.2\n");
        QCOMPARE(both.status, 2);
        QCOMPARE(both.err, QString(one.err).remove("127.0.0.1: "));
        QVERIFY(both.out.isEmpty());
        QVERIFY(first.Journal().empty() && second.Journal().empty());
    }

    // Three modules on 127.0.0.1-3, the middle one silent: the others are
    // still backed up, one summary line each, the status of the failure.
    void fleet()
    {
        SimModule first(RegisterObjects({{0, 0x01}}), "127.0.0.1");
        SimModule third(RegisterObjects({{0, 0x03}}), "127.0.0.3", first.Port());
        QTemporaryDir dir;
        const QString list = dir.filePath("modules.txt");
        WriteAll(list, "# the test fleet\n127.0.0.1\n\n127.0.0.2   # no module here\n127.0.0.3\n");
        const QString pattern = dir.filePath("backup-{host}.rcs");
        const CtlRun run = Ctl(PortArgs(first)
            + QStringList {"--timeout", "0.3", "--retries", "0", "--hosts", list, "switch", "read", pattern});
        QCOMPARE(run.status, 3);
        QCOMPARE(ReadAll(dir.filePath("backup-127.0.0.1.rcs")).left(1), QByteArray("\x01"));
        QCOMPARE(ReadAll(dir.filePath("backup-127.0.0.3.rcs")).left(1), QByteArray("\x03"));
        QVERIFY(!QFile::exists(dir.filePath("backup-127.0.0.2.rcs")));
        const QStringList lines = Lines(run.out);
        QCOMPARE(lines.size(), 5);  // a line from each module that was read, and a summary line each
        for (const QString& line : lines)
            QVERIFY2(QRegularExpression("^127\\.0\\.0\\.[123]: ").match(line).hasMatch(), qPrintable(line));
        QVERIFY(lines.contains("127.0.0.1: done (status 0)"));
        QVERIFY(lines.contains("127.0.0.2: switch read failed (status 3)"));
        QVERIFY(lines.contains("127.0.0.3: done (status 0)"));
        QVERIFY(run.err.contains("kalvorctl: 127.0.0.2: switch read: no answer"));
        QVERIFY(run.err.contains("kalvorctl: 1 of 3 modules failed: 127.0.0.2\n"));

        // info --json, the list from standard input: standard output holds
        // one JSON object per module, the silent one's too; the summaries go
        // to standard error.
        const QByteArray listText = ReadAll(list);
        const CtlRun json = Ctl(
            PortArgs(first) + QStringList {"--timeout", "0.3", "--retries", "0", "--json", "--hosts", "-", "info"}, {},
            listText);
        QCOMPARE(json.status, 1);
        QStringList hosts;
        for (const QString& line : Lines(json.out)) {
            QJsonParseError error {};
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(line));
            if (object.contains("summary")) {  // the closing object
                QCOMPARE(object.value("summary").toObject().value("failed_hosts").toArray(),
                    QJsonArray({"127.0.0.2"}));
                continue;
            }
            hosts << object.value("host").toString();
            const bool silent = hosts.last() == "127.0.0.2";
            QCOMPARE(object.value("status").toInt(-1), silent ? 1 : 0);
            QCOMPARE(object.value("error").toString().startsWith("firmware version: no answer"), silent);
            QCOMPARE(object.contains("firmware"), !silent);
        }
        QCOMPARE(hosts, QStringList({"127.0.0.1", "127.0.0.2", "127.0.0.3"}));
        QVERIFY(json.err.contains("127.0.0.2: module did not answer (status 1)\n"));
        QVERIFY(json.err.contains("127.0.0.3: done (status 0)\n"));
        // The same list through a pipe that is not a file.
        const CtlRun piped = Ctl(PortArgs(first) + QStringList {"--timeout", "0.3", "--retries", "0", "--json",
                                                      "--hosts", "/dev/stdin", "info"},
            {}, listText);
        QCOMPARE(Lines(piped.out).size(), 4);

        // Several hosts into one file name: refused before any exchange.
        first.ClearJournal();
        const CtlRun oneFile
            = Ctl(PortArgs(first) + QStringList {"--hosts", list, "switch", "read", dir.filePath("all.rcs")});
        QCOMPARE(oneFile.status, 2);
        QVERIFY(first.Journal().empty());
        WriteAll(list, "127.0.0.1\n127.0.0.x\n");
        const CtlRun badList = Ctl(PortArgs(first) + QStringList {"--hosts", list, "info"});
        QCOMPARE(badList.status, 2);
        QVERIFY(badList.err.contains(":2: not a dotted IPv4 address"));
        QVERIFY(first.Journal().empty());
    }

    // A fleet run whose modules fail differently ends with the highest
    // status: one module's missing file (2) does not hide another's
    // unconfirmed settings (6), whatever their order.
    void fleetStatusIsTheWorst_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::newRow("unconfirmed first") << QByteArray("127.0.0.1\n127.0.0.2\n");
        QTest::newRow("unconfirmed last") << QByteArray("127.0.0.2\n127.0.0.1\n");
    }
    void fleetStatusIsTheWorst()
    {
        QFETCH(QByteArray, list);
        SimModule first(
            RegisterObjects({}, ", \"faults\": {\"" + std::string(Oid::kConfirmSwitch) + "\": {\"silence\": true}}"),
            "127.0.0.1");
        SimModule second("{}", "127.0.0.2", first.Port());
        QTemporaryDir dir;
        QByteArray image = DefaultImage();
        image[9] = char(0x42);
        WriteAll(dir.filePath("127.0.0.1.rcs"), image);  // none for 127.0.0.2
        const CtlRun run = Ctl(PortArgs(first)
                + QStringList {"--timeout", "0.3", "--retries", "0", "--hosts", "-", "switch", "write",
                    dir.filePath("{host}.rcs")},
            {}, list);
        QVERIFY2(run.status == 6, qPrintable(run.out + run.err));
        QVERIFY(run.out.contains("127.0.0.1: not confirmed (status 6)"));
        QVERIFY(run.out.contains("127.0.0.2: file error (status 2)"));
        QVERIFY(run.err.endsWith("kalvorctl: 2 of 2 modules failed: " + QString(list).replace('\n', ", ").chopped(2) + "\n"));
        QVERIFY(second.Journal().empty());  // its file is missing: nothing sent
    }

    // SIGINT, SIGTERM or SIGHUP (an ssh session that drops) during the wait
    // before the confirmation: the modules in progress are still confirmed,
    // no other is started, and the run says so. A second signal ends the run
    // at once, naming the unconfirmed modules, with --hosts-out written.
    void interruptedWrite_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("interrupts");
        QTest::addColumn<int>("jobs");
        QTest::newRow("one SIGINT") << int(SIGINT) << 1 << 1;
        QTest::newRow("two SIGINT") << int(SIGINT) << 2 << 1;
        QTest::newRow("one SIGINT, two modules in progress") << int(SIGINT) << 1 << 2;
        QTest::newRow("two SIGINT, two modules in progress") << int(SIGINT) << 2 << 2;
        QTest::newRow("one SIGTERM") << int(SIGTERM) << 1 << 1;
        QTest::newRow("two SIGTERM, two modules in progress") << int(SIGTERM) << 2 << 2;
        QTest::newRow("one SIGHUP, two modules in progress") << int(SIGHUP) << 1 << 2;
    }
    void interruptedWrite()
    {
        QFETCH(int, signal);
        QFETCH(int, interrupts);
        QFETCH(int, jobs);
        const bool both = jobs == 2;
        SimModule first("{}", "127.0.0.1");
        SimModule second("{}", "127.0.0.2", first.Port());
        QTemporaryDir dir;
        QProcess process;
        StartCtl(process, PortArgs(first) + WriteOfTwo(dir, "127.0.0.1", "127.0.0.2", jobs),
            {"KALVOR_RESTART_WAIT_MS=4000"});
        QVERIFY(process.waitForStarted());
        QByteArray out;
        while (!out.contains("upload finished") && process.waitForReadyRead(10000))
            out += process.readAllStandardOutput();
        QVERIFY2(out.contains("upload finished"), out.constData());
        QTest::qWait(500);  // into the wait
        QByteArray err;
        for (int i = 0; i < interrupts; ++i) {
            // One at a time: a second signal sent while the first is pending would merge with it.
            ::kill(pid_t(process.processId()), signal);
            for (int polls = 0; polls < 100 && !err.contains("kalvorctl: interrupted: finishing"); ++polls) {
                process.waitForReadyRead(20);  // reads both pipes
                err += process.readAllStandardError();
            }
        }
        QVERIFY(process.waitForFinished(20000));
        out += process.readAllStandardOutput();
        err += process.readAllStandardError();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + signal);
        const int confirms = Count(first.Journal(), "get", Oid::kConfirmSwitch);
        QCOMPARE(Count(second.Journal(), "get", Oid::kConfirmSwitch), both ? confirms : 0);
        QCOMPARE(second.Journal().empty(), !both);
        const QByteArray running = both ? "2 modules in progress (127.0.0.1, 127.0.0.2)" : "127.0.0.1";
        QVERIFY(err.startsWith("kalvorctl: interrupted: finishing " + running + " and starting no other module"));
        QVERIFY(out.endsWith(interrupts == 2 ? "confirming\n" : both ? "127.0.0.2: done (status 0)\n" : "127.0.0.1: done (status 0)\n"));
        // What a re-run takes: the module never started (none when both ran);
        // after a stop at once every module, confirmed by this run or not.
        QCOMPARE(ReadAll(dir.filePath("again")),
            QByteArray(interrupts == 2 ? "127.0.0.1\n127.0.0.2\n" : both ? "" : "127.0.0.2\n"));
        QCOMPARE(Files(dir.path()), QStringList({"again", "list", "s.rcs"}));  // no temporary file left
        if (interrupts == 1) {
            QCOMPARE(confirms, 1);  // read after the whole wait
            QVERIFY(out.contains("127.0.0.1: Settings comfirmed succesfully!\n"));
            QVERIFY2(err.endsWith(both ? "kalvorctl: interrupted: 2 of 2 modules finished\n"
                                       : "kalvorctl: interrupted: 1 of 2 modules finished\n"),
                err.constData());
        } else {
            QCOMPARE(confirms, 0);  // the run ended before the wait did
            QVERIFY2(err.endsWith("kalvorctl: stopped at once during " + running
                         + "; not confirmed, returning to their defaults after 2 min: "
                         + (both ? "127.0.0.1, 127.0.0.2" : "127.0.0.1") + "\n"),
                err.constData());
        }
    }

    // Standard output that cannot be written (a full disk, a closed
    // descriptor, a reader that went away during the wait): said once on
    // standard error; every module in progress is still confirmed, no other
    // starts, the status is 2 and --hosts-out names the modules not done.
    void outputFailures_data()
    {
        QTest::addColumn<QString>("shell");  // how kalvorctl ("$@") is run
        QTest::addColumn<int>("jobs");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("again");
        QTest::newRow("full disk") << R"("$@" > /dev/full)" << 1 << "No space left on device" << "127.1.0.2\n";
        QTest::newRow("closed") << R"("$@" >&-)" << 1 << "Bad file descriptor" << "127.1.0.2\n";
        // The reader is gone once the first line is out, long before the
        // first module writes again (after its confirmation); the second one
        // is slower and still waits for its own then.
        QTest::newRow("reader gone") << R"("$@" | head -1; exit ${PIPESTATUS[0]})" << 2 << "Broken pipe" << "";
    }
    void outputFailures()
    {
        QFETCH(QString, shell);
        QFETCH(int, jobs);
        QFETCH(QString, reason);
        QFETCH(QString, again);
        SimFleetSpec spec;
        spec.size = 2;
        spec.slow = {"127.1.0.2"};
        spec.slowMs = 10;
        SimModule fleet(spec);
        QTemporaryDir dir;
        QProcess process;
        StartCtl(process,
            QStringList {"-c", shell, "bash", KALVOR_CTL_PATH} + PortArgs(fleet)
                + WriteOfTwo(dir, "127.1.0.1", "127.1.0.2", jobs),
            {"KALVOR_RESTART_WAIT_MS=1500"}, "bash");
        QVERIFY(process.waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitCode(), 2);
        QCOMPARE(Lines(err).filter("standard output").size(), 1);
        QVERIFY2(err.startsWith("kalvorctl: standard output: " + reason
                     + "; finishing what is in progress and starting nothing new\n"),
            qPrintable(err));
        QVERIFY2(err.endsWith(QString("kalvorctl: stopped as output failed: %1 of 2 modules finished\n").arg(jobs)),
            qPrintable(err));
        QCOMPARE(Count(fleet.JournalOf("127.1.0.1"), "get", Oid::kConfirmSwitch), 1);
        QCOMPARE(Count(fleet.JournalOf("127.1.0.2"), "get", Oid::kConfirmSwitch), jobs == 2 ? 1 : 0);
        QCOMPARE(fleet.JournalOf("127.1.0.2").empty(), jobs == 1);
        QCOMPARE(QString::fromLatin1(ReadAll(dir.filePath("again"))), again);
    }

    // A fleet of 20 with 3 silent modules, 1 slow one and one more (beside
    // the fleet) that goes silent after 40 registers: every module that
    // answers is backed up byte for byte, none waits for a silent one, the
    // summary keeps the list's order, the status is the failure's, and
    // --jobs 1 gives the same files and lines.
    void fleetOfTwenty()
    {
        SimModule fleet(TwentyModules());
        SimModule halfway(
            R"({"faults": {")" + Oid::SwitchRegister(40) + R"(": {"silence": true}}})", "127.1.0.30", fleet.Port());
        QTemporaryDir dir;
        QByteArray listText;
        for (int i = 19; i >= 0; --i)  // the list's order is not the addresses'
            listText += fleet.FleetAddress(i).toLatin1() + "\n";
        listText += "127.1.0.30\n";
        const QString list = dir.filePath("list.txt");
        WriteAll(list, listText);
        const QStringList silent = {"127.1.0.3", "127.1.0.8", "127.1.0.15", "127.1.0.30"};
        QStringList expectedSummary, answering;
        for (const QByteArray& host : listText.split('\n'))
            if (!host.isEmpty())
                expectedSummary << host + (silent.contains(host) ? ": switch read failed (status 3)" : ": done (status 0)");
        for (int i = 0; i < 20; ++i)
            if (!silent.contains(fleet.FleetAddress(i)))
                answering << fleet.FleetAddress(i) + ".rcs";
        answering.sort();

        for (const int jobs : {64, 1}) {
            QTemporaryDir out;
            const QString trace = dir.filePath(QString("trace-%1.log").arg(jobs));
            // All at once, the time-out far beyond what the answering modules
            // take, even on a loaded machine; one after the other, short.
            QProcess process;
            StartCtl(process,
                PortArgs(fleet)
                    + QStringList {"--jobs", QString::number(jobs), "--timeout", jobs == 64 ? "5" : "1", "--retries",
                        "0", "--trace", trace, "--hosts", list, "switch", "read", out.filePath("{host}.rcs")});
            QVERIFY(process.waitForStarted());
            QString err;
            QStringList writtenBeforeFailure;
            while (process.state() == QProcess::Running && !err.contains(": switch read: no answer")) {
                process.waitForReadyRead(50);
                err += QString::fromLocal8Bit(process.readAllStandardError());
            }
            writtenBeforeFailure = Files(out.path());
            QVERIFY(process.waitForFinished(60000));
            err += QString::fromLocal8Bit(process.readAllStandardError());
            QCOMPARE(process.exitCode(), 3);
            QStringList summaries = Lines(QString::fromLocal8Bit(process.readAllStandardOutput())).filter(" (status ");
            QCOMPARE(summaries, expectedSummary);
            QVERIFY2(err.endsWith("kalvorctl: 4 of 21 modules failed: 127.1.0.15, 127.1.0.8, 127.1.0.3, "
                                  "127.1.0.30\n"),
                qPrintable(err));
            for (const QString& name : answering)
                QCOMPARE(ReadAll(out.filePath(name)), FleetImage());
            QCOMPARE(Files(out.path()), answering);  // no file of a silent module, no half or temporary file
            if (jobs == 1)
                continue;
            // Every answering module was backed up before the first silent
            // one's failure was reported (the slow one may come later) ...
            writtenBeforeFailure.append("127.1.0.6.rcs");
            for (const QString& name : answering)
                QVERIFY2(writtenBeforeFailure.contains(name), qPrintable(name));
            // ... and every silent module was asked before the first time-out.
            const QStringList lines = Lines(QString::fromLatin1(ReadAll(trace)));
            const auto firstTimeout = std::find_if(
                lines.begin(), lines.end(), [](const QString& line) { return line.contains("status=timeout"); });
            QVERIFY(firstTimeout != lines.end());
            for (const QString& host : silent)
                QVERIFY2(std::any_of(lines.begin(), firstTimeout,
                             [&](const QString& line) { return line.contains(" " + host + ":") && line.contains(" > GET "); }),
                    qPrintable(host));
        }
        // The module that went silent halfway was asked no more after register 40, in either run.
        QCOMPARE(halfway.Journal().size(), size_t(2 * 41));
    }

    // --json for every fleet command: one object per module in list order,
    // failures included, and a closing summary; --hosts-out takes the failed.
    void fleetJson()
    {
        SimModule fleet(TwentyModules());
        QTemporaryDir dir;
        const QString list = dir.filePath("list.txt");
        WriteAll(list, "127.1.0.1\n127.1.0.3\n127.1.0.2\n");
        const QString image = dir.filePath("image.rcs");
        QByteArray changed = FleetImage();
        changed[9] = char(0x42);
        WriteAll(image, changed);
        const QString failed = dir.filePath("failed-{date}.txt");
        const struct {
            QStringList command;
            QString key;  // of a module done
            int status;
        } rows[] = {
            {{"info"}, "firmware", 1},
            {{"switch", "read", dir.filePath("{host}.rcs")}, "file", 3},
            {{"switch", "diff", image}, "differences", 3},
            {{"switch", "write", image}, "result", 3},
        };
        for (const auto& row : rows) {
            const CtlRun run = Ctl(PortArgs(fleet)
                + QStringList {"--json", "--timeout", "0.5", "--retries", "0", "--hosts", list, "--hosts-out", failed}
                + row.command);
            QCOMPARE(run.status, row.status);
            const QList<QJsonObject> objects = JsonLines(run.out);
            QCOMPARE(objects.size(), 4);
            QStringList hosts;
            for (int i = 0; i < 3; ++i) {
                hosts << objects[i].value("host").toString();
                const bool silent = hosts.last() == "127.1.0.3";
                QCOMPARE(objects[i].value("status").toInt(-1), silent ? row.status : 0);
                QCOMPARE(objects[i].contains("error"), silent);
                QCOMPARE(objects[i].contains(row.key), !silent);
            }
            QCOMPARE(hosts, QStringList({"127.1.0.1", "127.1.0.3", "127.1.0.2"}));
            const QJsonObject summary = objects[3].value("summary").toObject();
            QCOMPARE(summary.value("modules").toInt(), 3);
            QCOMPARE(summary.value("failed_hosts").toArray(), QJsonArray({"127.1.0.3"}));
            QCOMPARE(summary.value("status").toInt(), row.status);
            const QStringList outs = QDir(dir.path()).entryList({"failed-*.txt"});
            QCOMPARE(outs.size(), 1);
            QVERIFY2(QRegularExpression("^failed-\\d{8}T\\d{6}Z\\.txt$").match(outs[0]).hasMatch(), qPrintable(outs[0]));
            QCOMPARE(ReadAll(dir.filePath(outs[0])), QByteArray("127.1.0.3\n"));
            QFile::remove(dir.filePath(outs[0]));
        }
        // A --hosts-out that cannot be written is found before any traffic.
        fleet.ClearJournal();
        const CtlRun nowhere
            = Ctl(PortArgs(fleet) + QStringList {"--hosts", list, "--hosts-out", dir.filePath("no/such/failed.txt"), "info"});
        QCOMPARE(nowhere.status, 2);
        QCOMPARE(Lines(nowhere.err).size(), 1);
        QVERIFY2(nowhere.err.startsWith("kalvorctl: --hosts-out: " + dir.filePath("no/such/failed.txt")),
            qPrintable(nowhere.err));
        QVERIFY(fleet.Journal().empty());
        const QJsonObject written = JsonLines(Ctl(PortArgs(fleet) + QStringList {"--json", "switch", "write", "127.1.0.4", image}).out)[0];
        QCOMPARE(written.value("result").toString(), QString("confirmed"));
        QCOMPARE(written.value("changed").toArray(), QJsonArray({9}));
    }

    // Host lists as they come: blanks, comments, duplicates (each module
    // once, said in one line), 10,000 lines; and lines that are no module
    // address, refused before any traffic.
    void hostLists_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");  // the first line of standard error
        QTest::addColumn<int>("modules");  // asked
        QByteArray many;
        for (int i = 0; i < 10000; ++i)
            many += "127.1.0." + QByteArray::number(1 + i % 4) + (i % 7 ? "\n" : "  # again\n");
        QTest::newRow("blanks, comments, duplicates")
            << QByteArray("\n  127.1.0.1 \n# two\n127.1.0.2\t# the second\n\n127.001.0.1\n") << 0
            << "kalvorctl: LIST: 1 line named a module listed before, first 127.1.0.1 (lines 2 and 6); each module is run once"
            << 2;
        QTest::newRow("10,000 lines, 4 modules") << many << 0
            << "kalvorctl: LIST: 9996 lines named a module listed before, first 127.1.0.1 (lines 1 and 5); each "
               "module is run once"
            << 4;
        QTest::newRow("a name") << QByteArray("127.1.0.1\nlocalhost\n") << 2 << "kalvorctl: LIST:2: not a dotted" << 0;
        QTest::newRow("a name that does not resolve")
            << QByteArray("no-such-module.invalid\n") << 2 << "kalvorctl: LIST:1: not a dotted" << 0;
        QTest::newRow("IPv6") << QByteArray("127.1.0.1\n::1\n") << 2 << "kalvorctl: LIST:2: not a dotted" << 0;
        QTest::newRow("10,000 lines, the last bad") << many + "127.1.0.300\n" << 2 << "kalvorctl: LIST:10001: not a dotted" << 0;
        QTest::newRow("only comments") << QByteArray("# none\n\n") << 2 << "kalvorctl: the host list LIST holds no address" << 0;
    }
    void hostLists()
    {
        QFETCH(QByteArray, list);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(int, modules);
        SimFleetSpec spec;
        spec.size = 4;
        SimModule fleet(spec);
        QTemporaryDir dir;
        const QString path = dir.filePath("list.txt");
        WriteAll(path, list);
        const CtlRun run = Ctl(PortArgs(fleet) + QStringList {"--hosts", path, "--json", "info"});
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.startsWith(QString(error).replace("LIST", path)), qPrintable(run.err));
        QCOMPARE(JsonLines(run.out).size(), modules ? modules + 1 : 0);
        std::set<std::string> asked;
        for (const JournalEntry& entry : fleet.Journal(Oid::kFirmwareVersion))
            asked.insert(entry.address);
        QCOMPARE(int(asked.size()), modules);
        QCOMPARE(fleet.Journal(Oid::kFirmwareVersion).size(), size_t(modules));  // each once
    }

    // scan finds exactly the modules that answer, each with its own MAC
    // address, sends nothing but GETs, and writes the answering ones as a
    // host list.
    void scan()
    {
        SimModule fleet(TwentyModules());
        QTemporaryDir dir;
        const QString found = dir.filePath("found.txt");
        const QString trace = dir.filePath("scan.log");
        const CtlRun run = Ctl(PortArgs(fleet)
            + QStringList {"--jobs", "64", "--trace", trace, "--hosts-out", found, "scan", "127.1.0.0/27"});
        QCOMPARE(run.status, 0);
        QStringList expected, hosts;
        for (int i = 0; i < 20; ++i) {
            const QString host = fleet.FleetAddress(i);
            if (host == "127.1.0.3" || host == "127.1.0.8" || host == "127.1.0.15")
                continue;
            hosts << host;
            expected << host + QString::asprintf(": firmware 4.073, MAC 00 0A 1B 2C 3D %02X, switch board", 0x4E + i);
        }
        QCOMPARE(Lines(run.out), expected);
        QCOMPARE(run.err, QString("kalvorctl: 17 of 30 addresses answered\n"));
        QCOMPARE(ReadAll(found), (hosts.join('\n') + "\n").toLatin1());
        std::set<std::string> asked;
        for (const JournalEntry& entry : fleet.Journal()) {
            QCOMPARE(entry.op, std::string("get"));
            asked.insert(entry.address);
        }
        QCOMPARE(int(asked.size()), 20);  // the other 10 addresses of the range hold no module
        const QStringList traced = Lines(QString::fromLatin1(ReadAll(trace)));
        QCOMPARE(traced.size(), 30 * 2 + 17 * 2 * 2);  // a version read for each address, two more for each answer
        for (const QString& line : traced)
            QVERIFY2(line.contains(" > GET ") || line.contains(" < GET "), qPrintable(line));

        // A first-last range, JSON; the found list feeds a fleet command.
        const CtlRun json = Ctl(PortArgs(fleet) + QStringList {"--json", "scan", "127.1.0.7-127.1.0.9"});
        const QList<QJsonObject> objects = JsonLines(json.out);
        QCOMPARE(objects.size(), 3);
        QCOMPARE(objects[0].value("host").toString(), QString("127.1.0.7"));
        QCOMPARE(objects[0].value("mac").toString(), QString("00 0A 1B 2C 3D 54"));
        QCOMPARE(objects[0].value("switch").toBool(), true);
        QCOMPARE(objects[1].value("host").toString(), QString("127.1.0.9"));
        QCOMPARE(objects[2].value("summary").toObject().value("answered").toInt(), 2);
        const CtlRun info = Ctl(PortArgs(fleet) + QStringList {"--hosts", found, "--json", "info"});
        QCOMPARE(info.status, 0);
        QCOMPARE(JsonLines(info.out).size(), 18);
    }

    // A scan asks exactly the module addresses of its range: a /30 or wider
    // leaves out its network and broadcast addresses (fleet modules here,
    // too), a /31 and a /32 have none.
    void scanRanges_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("/29") << "127.1.0.0/29"
                             << QStringList {"127.1.0.1", "127.1.0.2", "127.1.0.3", "127.1.0.4", "127.1.0.5", "127.1.0.6"};
        QTest::newRow("/30") << "127.1.0.5/30" << QStringList {"127.1.0.5", "127.1.0.6"};
        QTest::newRow("/31") << "127.1.0.4/31" << QStringList {"127.1.0.4", "127.1.0.5"};
        QTest::newRow("/32") << "127.1.0.7/32" << QStringList {"127.1.0.7"};
        QTest::newRow("first-last") << "127.1.0.8-127.1.0.9" << QStringList {"127.1.0.8"};
    }
    void scanRanges()
    {
        QFETCH(QString, range);
        QFETCH(QStringList, asked);
        SimFleetSpec spec;
        spec.size = 8;
        SimModule fleet(spec);
        const CtlRun run = Ctl(PortArgs(fleet) + QStringList {"--timeout", "0.3", "scan", range});
        QCOMPARE(run.status, 0);
        std::set<QString> journaled;
        for (const JournalEntry& entry : fleet.Journal(Oid::kFirmwareVersion))
            journaled.insert(QString::fromStdString(entry.address));
        QCOMPARE(QStringList(journaled.begin(), journaled.end()), asked);
        QCOMPARE(Lines(run.out).size(), asked.size());
    }

    // A limit of open files too small for --jobs sessions: --jobs is lowered
    // with one line and every module is done. A session that cannot be
    // opened because the limit was lowered during the run waits for a
    // descriptor to come free and is no module's failure.
    void openFileLimit()
    {
        SimFleetSpec spec;
        spec.size = 100;
        spec.slow = {"127.1.0.1-127.1.0.31"};
        spec.slowMs = 40;  // 128 answers: about 5 s a module
        SimModule fleet(spec);
        QTemporaryDir dir;
        QByteArray fast, slowThenFast;
        for (int i = 0; i < 100; ++i)
            (i < 40 ? slowThenFast : fast) += fleet.FleetAddress(i < 31 || i >= 40 ? i : i + 9).toLatin1() + "\n";
        WriteAll(dir.filePath("fast"), fast);
        const CtlRun limited = Ctl(PortArgs(fleet) + QStringList {"--jobs", "64", "--hosts", dir.filePath("fast"), "info"},
            {}, {}, [] {
                const rlimit forty {40, 40};
                setrlimit(RLIMIT_NOFILE, &forty);
            });
        QCOMPARE(limited.status, 0);
        QCOMPARE(Lines(limited.out).filter(": done (status 0)").size(), 60);
        QCOMPARE(Lines(limited.err).size(), 1);
        QVERIFY2(QRegularExpression("^kalvorctl: --jobs 64 lowered to \\d+: the limit of open files \\(40, see ulimit -n\\)")
                     .match(limited.err)
                     .hasMatch(),
            qPrintable(limited.err));

        // 31 slow modules and 9 fast ones, 32 at once: the fast ones, one
        // after the other, wait for the slow ones' descriptors.
        WriteAll(dir.filePath("mixed"), slowThenFast);
        WriteAll(dir.filePath("s.rcs"), DefaultImage());
        QProcess process;
        StartCtl(process,
            PortArgs(fleet) + QStringList {"--jobs", "32", "--hosts", dir.filePath("mixed"), "switch", "diff", dir.filePath("s.rcs")});
        QVERIFY(process.waitForStarted());
        // A descriptor's number must lie below the limit: with the limit at
        // the newest session's number, the next sessions get none until a
        // session below it (a slow one) is done.
        int sockets = 0, newest = 0;
        for (int polls = 0; polls < 400 && sockets < 32; ++polls) {
            QTest::qWait(10);
            sockets = newest = 0;
            std::error_code error;
            for (const auto& fd : std::filesystem::directory_iterator(
                     "/proc/" + std::to_string(process.processId()) + "/fd", error))
                if (std::filesystem::read_symlink(fd.path(), error).string().rfind("socket:", 0) == 0) {
                    ++sockets;
                    newest = std::max(newest, std::stoi(fd.path().filename().string()));
                }
        }
        QCOMPARE(sockets, 32);
        const rlimit scarce {rlim_t(newest), rlim_t(newest)};  // above what the event loop watches
        QCOMPARE(prlimit(pid_t(process.processId()), RLIMIT_NOFILE, &scarce, nullptr), 0);
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(process.exitCode() == 0, qPrintable(err));
        QCOMPARE(Lines(QString::fromLocal8Bit(process.readAllStandardOutput())).filter(": done (status 0)").size(), 40);
    }

    // The communities from a file private to its owner; any other file is
    // refused before any traffic, and no output ever shows a community.
    void communityFile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("refusal");  // empty: used
        QTest::newRow("both") << QByteArray("ro=fileread\nrw=filewrite\n") << 0600 << "";
        QTest::newRow("CRLF, no last line end") << QByteArray("rw=filewrite\r\nro=fileread") << 0400 << "";
        QTest::newRow("group-readable") << QByteArray("ro=fileread\nrw=filewrite\n") << 0640
                                        << "others than its owner may read or change it (mode 0640)";
        QTest::newRow("world-readable") << QByteArray("ro=fileread\nrw=filewrite\n") << 0604 << "(mode 0604)";
        QTest::newRow("malformed") << QByteArray("ro: fileread\n") << 0600 << ":1: a line is";
        QTest::newRow("twice") << QByteArray("ro=fileread\nro=filewrite\n") << 0600 << ":2: ro= given twice";
        QTest::newRow("empty") << QByteArray() << 0600 << "neither ro= nor rw=";
        QTest::newRow("an empty community") << QByteArray("ro=\nrw=filewrite\n") << 0600 << ": ro is set but empty";
        QTest::newRow("too long") << QByteArray("ro=filereadfileread\nrw=filewrite\n") << 0600 << "more than 12";
        QTest::newRow("a FIFO, refused without waiting for a writer") << QByteArray() << -1 << "not a regular file";
    }
    void communityFile()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, mode);
        QFETCH(QString, refusal);
        SimModule sim(R"({"readCommunity": "fileread", "writeCommunity": "filewrite"})");
        QTemporaryDir dir;
        const QString file = dir.filePath("communities");
        if (mode < 0)
            QVERIFY(mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        else
            WriteAll(file, text);
        QVERIFY(chmod(QFile::encodeName(file).constData(), mode_t(mode < 0 ? 0600 : mode)) == 0);
        const QString image = dir.filePath("s.rcs");
        QByteArray changed = DefaultImage();
        changed[9] = char(0x42);
        WriteAll(image, changed);
        const QString trace = dir.filePath("trace.log");
        QString everything;
        for (const QStringList& command : {QStringList {"--json", "info", "127.0.0.1"},
                 QStringList {"switch", "write", "127.0.0.1", image}, QStringList {"switch", "write", "127.0.0.2", image}}) {
            const CtlRun run = Ctl(PortArgs(sim)
                + QStringList {"--timeout", "0.3", "--retries", "0", "--trace", trace, "--community-file", file}
                + command);
            everything += run.out + run.err + QString::fromLatin1(ReadAll(trace));
            if (!refusal.isEmpty()) {
                QCOMPARE(run.status, 2);
                QCOMPARE(Lines(run.err).size(), 1);
                QVERIFY2(run.err.startsWith("kalvorctl: --community-file: " + file) || run.err.startsWith("kalvorctl: " + file),
                    qPrintable(run.err));
                QVERIFY2(run.err.contains(refusal), qPrintable(run.err));
            } else {
                QCOMPARE(run.status, command.contains("127.0.0.2") ? 3 : 0);
            }
        }
        if (!refusal.isEmpty())
            QVERIFY(sim.Journal().empty());
        for (const JournalEntry& entry : sim.Journal())
            QCOMPARE(entry.community,
                std::string(entry.op == "set" || entry.oid == Oid::kRestartSwitch || entry.oid == Oid::kConfirmSwitch
                        ? "filewrite"
                        : "fileread"));
        QVERIFY(!everything.contains("fileread"));
        QVERIFY(!everything.contains("filewrite"));
    }

    // With --json a failure prints its object too (a module that did not
    // answer, a file missing or refused by the offline commands, a list's one
    // file), names keep their backslashes, and standard error holds nothing
    // but the tool's own lines, also when the SNMP library starts afresh
    // (no persistent directory yet) and sees a time-out.
    void jsonObjects_data()
    {
        QTest::addColumn<QStringList>("args");  // DIR: a folder holding good.rcs, zero.rcs and short.rcs
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("object");  // the keys expected, as JSON
        QTest::addColumn<QString>("error");  // its start; empty: no "error" key
        QTest::newRow("info, silent module")
            << QStringList {"info", "127.0.0.2"} << 1 << R"({"host": "127.0.0.2", "status": 1})"
            << "firmware version: no answer from the module (code -2)";
        QTest::newRow("switch show, missing file") << QStringList {"switch", "show", "DIR/none.rcs"} << 2
                                                   << R"({"file": "DIR/none.rcs", "status": 2})"
                                                   << "file: DIR/none.rcs: No such file";
        QTest::newRow("switch show, short file") << QStringList {"switch", "show", "DIR/short.rcs"} << 2
                                                 << R"({"file": "DIR/short.rcs", "status": 2})"
                                                 << "file: DIR/short.rcs: 100 bytes, but";
        QTest::newRow("switch diff, implausible file")
            << QStringList {"switch", "diff", "DIR/good.rcs", "DIR/zero.rcs"} << 2
            << R"({"from": "DIR/good.rcs", "to": "DIR/zero.rcs", "status": 2})" << "file: DIR/zero.rcs: every byte";
        QTest::newRow("a list's one file") << QStringList {"--hosts", "DIR/list", "switch", "write", "DIR/zero.rcs"}
                                           << 2 << R"({"file": "DIR/zero.rcs", "status": 2})"
                                           << "file: DIR/zero.rcs: every byte";
        QTest::newRow("backslash in a file name")
            << QStringList {"switch", "read", "127.0.0.1", R"(DIR/back\slash "q".rcs)"} << 0
            << "{\"host\": \"127.0.0.1\", \"status\": 0, \"file\": \"DIR/back\\\\slash \\\"q\\\".rcs\"}" << "";
    }
    void jsonObjects()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, object);
        QFETCH(QString, error);
        SimModule sim;
        QTemporaryDir dir;
        WriteAll(dir.filePath("good.rcs"), DefaultImage());
        WriteAll(dir.filePath("zero.rcs"), QByteArray(128, 0));
        WriteAll(dir.filePath("short.rcs"), DefaultImage().left(100));
        WriteAll(dir.filePath("list"), "127.0.0.1\n127.0.0.2\n");
        args.replaceInStrings("DIR", dir.path());
        const CtlRun run = Ctl(PortArgs(sim) + QStringList {"--json", "--timeout", "0.3", "--retries", "0"} + args,
            {"SNMP_PERSISTENT_DIR=" + dir.filePath("fresh/persistent"), "HOME=" + dir.filePath("fresh")});
        QCOMPARE(run.status, status);
        QVERIFY2(run.out.count('\n') == 1, qPrintable(run.out));
        QJsonParseError parse {};
        const QJsonObject printed = QJsonDocument::fromJson(run.out.toUtf8(), &parse).object();
        QCOMPARE(parse.error, QJsonParseError::NoError);
        const QJsonObject expected = QJsonDocument::fromJson(object.replace("DIR", dir.path()).toUtf8()).object();
        QVERIFY(!expected.isEmpty());
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QCOMPARE(printed.value(it.key()), it.value());
        QCOMPARE(printed.contains("error"), !error.isEmpty());
        QVERIFY2(error.isEmpty() || printed.value("error").toString().startsWith(error.replace("DIR", dir.path())),
            qPrintable(run.out));
        for (const QString& line : Lines(run.err))
            QVERIFY2(line.startsWith("kalvorctl: "), qPrintable(line));
        if (status == 0)
            QVERIFY(QFile::exists(expected.value("file").toString()));
        else
            QVERIFY(sim.Journal().empty());
    }

    // switch diff --exit-code for drift; diff of two files and show of one,
    // without any module.
    void diffExitCodeAndOffline()
    {
        SimModule sim(RegisterObjects({{11, 0x00}}));
        QTemporaryDir dir;
        const QString file = dir.filePath("s.rcs");
        QByteArray image = DefaultImage();
        image[11] = char(0x00);  // the default is 0xFF
        WriteAll(file, image);
        const struct {
            QStringList args;
            int status;
            QStringList lines;  // leading parts
        } rows[] = {
            {{"switch", "diff", "127.0.0.1", file}, 0, {}},
            {{"--exit-code", "switch", "diff", "127.0.0.1", file}, 0, {}},
            {{"--exit-code", "switch", "diff", "127.0.0.1", dir.filePath("default.rcs")}, 1,
                {"register 11: 0x00 -> 0xFF  [Port 0: Enable Port (Rx/Tx)"}},
            {{"switch", "diff", file, dir.filePath("default.rcs")}, 0,
                {"register 11: 0x00 -> 0xFF  [Port 0: Enable Port (Rx/Tx)"}},
            {{"--exit-code", "switch", "diff", dir.filePath("default.rcs"), file}, 1,
                {"register 11: 0xFF -> 0x00  [Port 0: Enable Port (Rx/Tx)"}},
            {{"--exit-code", "switch", "diff", file, file}, 0, {}},
            {{"switch", "diff", file, dir.filePath("missing.rcs")}, 2, {}},
        };
        WriteAll(dir.filePath("default.rcs"), DefaultImage());
        for (const auto& row : rows) {
            sim.ClearJournal();
            const CtlRun run = Ctl(PortArgs(sim) + row.args);
            QVERIFY2(run.status == row.status, qPrintable(row.args.join(' ') + ": " + run.err));
            const QStringList lines = Lines(run.out);
            QCOMPARE(lines.size(), row.lines.size());
            for (int i = 0; i < lines.size(); ++i)
                QVERIFY2(lines[i].startsWith(row.lines[i]), qPrintable(lines[i]));
            const bool module = row.args.contains("127.0.0.1");
            QCOMPARE(sim.Journal().size(), size_t(module ? 128 : 0));
        }
        const CtlRun show = Ctl({"switch", "show", file});
        QCOMPARE(show.status, 0);
        const QStringList lines = Lines(show.out);
        QCOMPARE(lines.size(), 128);
        QVERIFY2(lines[11].startsWith("register 11: 0x00  [Port 0: Enable Port (Rx/Tx)"), qPrintable(lines[11]));
        const QJsonObject json = JsonLines(Ctl({"--json", "switch", "show", file}).out).value(0);
        QCOMPARE(json.value("registers").toArray().size(), 128);
        QCOMPARE(json.value("registers").toArray()[11].toObject().value("value").toString(), QString("0x00"));
        const QJsonObject diff
            = JsonLines(Ctl({"--json", "--exit-code", "switch", "diff", file, dir.filePath("default.rcs")}).out).value(0);
        QCOMPARE(diff.value("status").toInt(), 1);
        const QJsonObject difference = diff.value("differences").toArray()[0].toObject();
        QCOMPARE(difference.value("register").toInt(), 11);
        QCOMPARE(difference.value("from").toString(), QString("0x00"));
        QCOMPARE(difference.value("to").toString(), QString("0xFF"));
    }

    // On a terminal, standard error shows the progress count, and only
    // there; each module in progress logs its traffic to its own trace file.
    void progressAndTracesOfAFleet()
    {
        SimFleetSpec spec;
        spec.size = 3;
        spec.silent = {"127.1.0.2"};
        SimModule fleet(spec);
        QTemporaryDir dir;
        const QString list = dir.filePath("list.txt");
        WriteAll(list, "127.1.0.1\n127.1.0.2\n127.1.0.3\n");
        const QStringList args = PortArgs(fleet)
            + QStringList {"--timeout", "0.3", "--retries", "0", "--trace", dir.filePath("{host}.log"), "--hosts", list, "info"};
        const CtlRun piped = Ctl(args);
        QCOMPARE(piped.status, 1);
        QVERIFY2(!piped.err.contains("modules, "), qPrintable(piped.err));
        for (int i = 1; i <= 3; ++i) {
            const QString host = QString("127.1.0.%1").arg(i);
            const QStringList lines = Lines(QString::fromLatin1(ReadAll(dir.filePath(host + ".log"))));
            QCOMPARE(lines.size(), int(fleet.JournalOf(host).size()) * 2);
            for (const QString& line : lines)
                QVERIFY2(line.section(' ', 1, 1).startsWith(host + ":"), qPrintable(line));
        }

        // Standard error on a terminal (script(1) gives one), standard output not.
        QStringList quoted;
        for (const QString& arg : QStringList {KALVOR_CTL_PATH} + args)
            quoted << "'" + arg + "'";
        QProcess terminal;
        terminal.start("script", {"-qec", quoted.join(' ') + " 2>&1 >/dev/null", "/dev/null"});
        QVERIFY(terminal.waitForFinished(30000));
        const QByteArray shown = terminal.readAllStandardOutput();
        QVERIFY2(shown.contains("\r\033[K3/3 modules, 1 failed"), shown.constData());
        QVERIFY2(shown.contains("1 of 3 modules failed: 127.1.0.2"), shown.constData());
    }

    // The traffic log: every request the simulator received, in order, with
    // its answer; never a community.
    void traceMatchesJournal()
    {
        // The first write of register 7 is answered with another value: the batch sends it again.
        SimModule sim(R"({"readCommunity": "secretread", "writeCommunity": "secretwrite", "faults": {")"
            + Oid::SwitchRegister(7) + R"(": {"echo": 1, "times": 1, "on": "set"}}})");
        QTemporaryDir dir;
        const QString file = dir.filePath("s.rcs");
        QByteArray image = DefaultImage();
        image[7] = char(0xDB);
        WriteAll(file, image);
        const QString trace = dir.filePath("trace-{host}.log");
        const CtlRun run = Ctl(PortArgs(sim)
            + QStringList {
                "--ro", "secretread", "--rw", "secretwrite", "--trace", trace, "switch", "write", "127.0.0.1", file});
        QCOMPARE(run.status, 0);
        const QByteArray log = ReadAll(dir.filePath("trace-127.0.0.1.log"));
        QVERIFY(!log.contains("secret"));
        const QStringList lines = Lines(QString::fromLatin1(log));
        const auto journal = sim.Journal();
        QCOMPARE(lines.size(), int(journal.size() * 2));
        const QRegularExpression request("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} 127\\.0\\.0\\.1:(\\d+) > "
                                         "(GET|SET) (\\S+) (\\S) (.*)$");
        const QRegularExpression answer("^\\S+ 127\\.0\\.0\\.\\d+:\\d+ < (GET|SET) (\\S+) (\\S) (.*) status=(\\S+) "
                                        "rtt=(\\d+)ms resends=(\\d+)$");
        bool secondWrite = false;
        for (size_t i = 0; i < journal.size(); ++i) {
            const auto sent = request.match(lines[int(2 * i)]);
            const auto got = answer.match(lines[int(2 * i + 1)]);
            QVERIFY2(sent.hasMatch(), qPrintable(lines[int(2 * i)]));
            QVERIFY2(got.hasMatch(), qPrintable(lines[int(2 * i + 1)]));
            QCOMPARE(sent.captured(1).toInt(), int(sim.Port()));
            QCOMPARE(sent.captured(2).toLower().toStdString(), journal[i].op);
            QCOMPARE(sent.captured(3).toStdString(), journal[i].oid);
            QCOMPARE(got.captured(2).toStdString(), journal[i].oid);
            QCOMPARE(got.captured(5), QString("0"));
            if (journal[i].op == "set") {
                QCOMPARE(sent.captured(4), QString("i"));
                QCOMPARE(sent.captured(5).toStdString(), journal[i].value);
                QCOMPARE(got.captured(3), QString("i"));
                const bool echoed = journal[i].oid == Oid::SwitchRegister(7) && !secondWrite;
                QCOMPARE(got.captured(4), echoed ? QString("1") : sent.captured(5));
                secondWrite = secondWrite || echoed;
            }
        }
        QCOMPARE(Count(journal, "set", Oid::SwitchRegister(7)), 2);
        QStringList resends;
        for (const QString& line : lines)
            if (line.contains(" < SET "))
                resends << line.section(' ', -1);
        QCOMPARE(resends, QStringList({"resends=0", "resends=1"}));
        QVERIFY(lines.last().contains(QString::fromLatin1(Oid::kConfirmSwitch)));

        // A time-out is logged as such, after --timeout times 1 + --retries
        // (not the snmp.conf of the tests: 1 s, no retries): the module
        // received the request three times.
        SimModule silentModule(R"({"faults": {".1.1.8.0": {"silence": true}}})", "127.0.0.2", sim.Port());
        const QString silentTrace = dir.filePath("silent.log");
        const CtlRun silent = Ctl(PortArgs(sim)
            + QStringList {"--timeout", "0.2", "--retries", "2", "--trace", silentTrace, "info", "127.0.0.2"});
        QCOMPARE(silent.status, 1);
        QCOMPARE(Count(silentModule.Journal(), "get", Oid::kFirmwareVersion), 3);
        const QStringList silentLines = Lines(QString::fromLatin1(ReadAll(silentTrace)));
        QCOMPARE(silentLines.size(), 2);
        const auto timedOut = answer.match(silentLines[1]);
        QVERIFY2(timedOut.hasMatch(), qPrintable(silentLines[1]));
        QCOMPARE(timedOut.captured(2), QString::fromLatin1(Oid::kFirmwareVersion));
        QCOMPARE(timedOut.captured(5), QString("timeout"));
        QVERIFY2(timedOut.captured(6).toInt() >= 550, qPrintable(silentLines[1]));  // three waits of 0.2 s
    }
};

QTEST_GUILESS_MAIN(TestCtl)
#include "test_ctl.moc"
