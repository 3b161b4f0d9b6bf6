// kalvorctl's module history, inventory and hooks against simulated
// modules: one commit per changed run read back through git and `history`,
// a version brought back (--at) checked in the simulator's journal, an
// interrupted run and two runs at once on one history, the inventory's
// names, groups and communities, and the hooks' environment and limits.

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

#include "snmp/SnmpRequest.h"
#include "support/CtlTestKit.h"
#include "support/TestEnvironment.h"

namespace {

QString Git(const QString& dir, const QStringList& args)
{
    QProcess git;
    git.start("git", QStringList {"-C", dir} + args);
    git.waitForFinished(60000);
    return QString::fromUtf8(git.readAllStandardOutput()).trimmed();
}

QStringList Quick() { return {"--timeout", "0.3", "--retries", "0"}; }

// An inventory file of `text`, with `mode`.
QString Inventory(const QTemporaryDir& dir, const QByteArray& text, mode_t mode = 0600)
{
    const QString path = dir.filePath("inventory.csv");
    WriteAll(path, text);
    chmod(QFile::encodeName(path).constData(), mode);
    return path;
}

// The fleet's module `host` brought to the default image with register 11 set to `value`.
void SetRegister11(const SimModule& sim, const QTemporaryDir& dir, const QString& host, char value)
{
    QByteArray image = DefaultImage();
    image[11] = value;
    WriteAll(dir.filePath("set.rcs"), image);
    const CtlRun run = Ctl(PortArgs(sim) + QStringList {"switch", "write", host, dir.filePath("set.rcs")});
    QVERIFY2(run.status == 0, qPrintable(run.err));
}

const char* const kThree = "address,name,group\n127.1.0.1,core-a,core\n127.1.0.2,core-b,core\n127.1.0.3,,edge\n";

// The nightly service's kalvorctl arguments, its inventory and history as
// INVENTORY and HISTORY.
QStringList NightlyArgs()
{
    const QString unit = QString::fromUtf8(ReadAll(KALVOR_BACKUP_SERVICE));
    const QRegularExpression exec("^ExecStart=/usr/bin/kalvorctl (.*)$", QRegularExpression::MultilineOption);
    return exec.match(unit)
        .captured(1)
        .replace("${CREDENTIALS_DIRECTORY}/inventory.csv", "INVENTORY")
        .replace("/var/lib/kalvor/history", "HISTORY")
        .split(' ', Qt::SkipEmptyParts);
}

// One SET on the fleet's module `host`, as an operator's tool makes it.
void SetOn(const SimModule& fleet, const QString& host, const QStringList& set)
{
    fleet.Use();
    CSnmpRequest request(host.toLatin1().constData(), "marbled", 1);
    request.AddVar(set[0].toStdString(), set[2].toLatin1().constData(), set[1].at(0).toLatin1());
    QCOMPARE(request.Set(), 0);
}

// The SETs the journal shows for `host`: OID and value.
QStringList SetsOf(const SimModule& fleet, const QString& host)
{
    QStringList sets;
    for (const JournalEntry& entry : fleet.JournalOf(host))
        if (entry.op == "set")
            sets << QString::fromStdString(entry.oid + " " + entry.value);
    return sets;
}

}  // namespace

class TestCtlHistory : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // Options that do not go together are refused before any request.
    void refusedCombinations_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("FILE and --history") << QStringList {"--history", "h", "switch", "read", "127.0.0.1", "f"}
                                            << "switch read --history keeps the files in the history folder";
        QTest::newRow("FILE and --at") << QStringList {"--at", "HEAD", "switch", "diff", "127.0.0.1", "f"}
                                       << "--at takes the file from the history: leave out FILE";
        QTest::newRow("--history with info")
            << QStringList {"--history", "h", "info", "127.0.0.1"} << "--history is for the commands that save a file";
        QTest::newRow("--at with read") << QStringList {"--at", "HEAD", "--history", "h", "switch", "read", "127.0.0.1"}
                                        << "--at is for the commands that compare a module";
        QTest::newRow("FILE and module save --history") << QStringList {"--history", "h", "module", "save", "127.0.0.1",
            "f"} << "module save --history keeps the files in the history folder";
        QTest::newRow("--at with module save") << QStringList {"--at", "HEAD", "module", "save", "127.0.0.1", "f"}
                                               << "--at is for the commands that compare a module";
        QTest::newRow("--group alone") << QStringList {"--group", "g", "info", "127.0.0.1"}
                                       << "--group is for --inventory";
        QTest::newRow("--inventory and --hosts")
            << QStringList {"--inventory", "i", "--hosts", "l", "info"} << "--inventory and --hosts do not go together";
        QTest::newRow("--on-change with info") << QStringList {"--on-change", "true", "info", "127.0.0.1"}
                                               << "--on-change is for the commands that save a file";
        QTest::newRow("--on-failure with scan") << QStringList {"--on-failure", "true", "scan", "127.0.0.0/30"}
                                                << "--on-failure is for the commands that work on modules";
        QTest::newRow("history of a path") << QStringList {"history", "../etc"} << "not a module name";
        QTest::newRow("no hook time") << QStringList {"--hook-timeout", "0", "info", "127.0.0.1"}
                                      << "--hook-timeout: not a number of seconds";
    }
    void refusedCombinations()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        SimModule sim;
        const CtlRun run = Ctl(PortArgs(sim) + args);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith("kalvorctl: ") && run.err.contains(message), qPrintable(run.err));
        QVERIFY(sim.Journal().empty());
    }

    // Each kind of saved file (the module settings as the nightly service
    // saves them): a first run commits every module, an unchanged run
    // nothing, one setting changed on one module one commit naming both;
    // --at compares with the version before and brings it back with exactly
    // that setting's SET. Both kinds share one history.
    void eachKindOfSavedFile_data()
    {
        QTest::addColumn<QStringList>("before");  // run into the history first, or empty
        QTest::addColumn<QStringList>("save");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QStringList>("change");  // OID, type, value set on 127.1.0.2
        QTest::addColumn<QStringList>("changes");  // as the commit names them
        QTest::addColumn<QStringList>("diff");
        QTest::addColumn<QString>("diffLine");
        QTest::addColumn<QStringList>("restore");
        QTest::addColumn<QStringList>("sets");  // OID and value
        QTest::addColumn<QStringList>("files");  // of core-b's versions, newest first
        const QStringList switchRead {"--inventory", "INVENTORY", "--history", "HISTORY", "switch", "read"};
        const QString reg11 = QString::fromStdString(Oid::SwitchRegister(11));
        QTest::newRow("switch read") << QStringList {} << switchRead << ".rcs" << QStringList {reg11, "i", "7"}
                                     << QStringList {"Port 0: Enable Port (Rx/Tx)",
                                            "Port 0: Enable Learning of MAC addresses"}
                                     << QStringList {"switch", "diff"}
                                     << "register 11: 0x07 -> 0xFF  [Port 0: Enable Port (Rx/Tx); Port 0: Enable "
                                        "Learning of MAC addresses]"
                                     << QStringList {"switch", "write"} << QStringList {reg11 + " 255"}
                                     << QStringList {"core-b.rcs", "core-b.rcs"};
        QTest::newRow("module save, nightly")
            << switchRead << NightlyArgs() << ".txt" << QStringList {Oid::kVlanTag, "i", "100"}
            << QStringList {"VLAN tag"} << QStringList {"module", "diff"} << "vlan_tag: 100 -> 1  [VLAN tag]"
            << QStringList {"--yes", "module", "apply"} << QStringList {QString(Oid::kVlanTag) + " 1"}
            << QStringList {"core-b.txt", "core-b.txt", "core-b.rcs"};
    }
    void eachKindOfSavedFile()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, save);
        QFETCH(QString, extension);
        QFETCH(QStringList, changes);
        SimFleetSpec spec;
        spec.size = 3;
        SimModule fleet(spec);
        QTemporaryDir dir;
        const QString history = dir.filePath("history");
        const QString inventory = Inventory(dir, kThree);
        for (QStringList* args : {&before, &save})
            args->replaceInStrings("INVENTORY", inventory).replaceInStrings("HISTORY", history);
        if (!before.isEmpty())
            QCOMPARE(Ctl(PortArgs(fleet) + before).status, 0);
        const int commits = Git(history, {"rev-list", "--count", "--all"}).toInt();
        const QString words = save.mid(save.size() - 2).join(' ');

        const CtlRun first = Ctl(PortArgs(fleet) + save);
        QVERIFY2(first.status == 0, qPrintable(first.err));
        QCOMPARE(Git(history, {"show", "--name-only", "--format=%s", "HEAD"}),
            words + ": 3 of 3 modules changed\n\n127.1.0.3" + extension + "\ncore-a" + extension + "\ncore-b"
                + extension);
        const CtlRun unchanged = Ctl(PortArgs(fleet) + save);
        QVERIFY2(unchanged.err.endsWith("nothing changed, no commit\n"), qPrintable(unchanged.err));
        QCOMPARE(Git(history, {"rev-list", "--count", "HEAD"}).toInt(), commits + 1);

        QFETCH(QStringList, change);
        SetOn(fleet, "127.1.0.2", change);
        const CtlRun changed = Ctl(PortArgs(fleet) + save + QStringList {"--json"});
        QVERIFY2(changed.status == 0, qPrintable(changed.err));
        QStringList named;  // every module's JSON object carries its inventory name
        for (const QJsonObject& object : JsonLines(changed.out))
            if (object.contains("host"))
                named << object.value("host").toString() + "=" + object.value("name").toString();
        named.sort();
        QCOMPARE(named, QStringList({"127.1.0.1=core-a", "127.1.0.2=core-b", "127.1.0.3="}));
        QCOMPARE(Git(history, {"log", "-1", "--format=%B"}),
            words + ": 1 of 3 modules changed\n\ncore-b" + extension + ", 127.1.0.2:\n- " + changes.join("\n- "));
        const QStringList versions = Lines(Ctl({"--history", history, "history", "core-b"}).out);
        QStringList files;
        for (const QString& version : versions)
            files << version.section("  ", 2, 2);
        QTEST(files, "files");
        QVERIFY2(versions[0].endsWith("  " + changes.join("; ")), qPrintable(versions[0]));

        const QStringList at = PortArgs(fleet) + QStringList {"--history", history, "--at", "HEAD~1"};
        QFETCH(QStringList, diff);
        const CtlRun drift = Ctl(at + diff + QStringList {"127.1.0.2"});
        QVERIFY2(drift.status == 0, qPrintable(drift.err));
        QTEST(Lines(drift.out).value(0), "diffLine");
        QFETCH(QStringList, restore);
        fleet.ClearJournal();
        const CtlRun back = Ctl(at + restore + QStringList {"127.1.0.2"});
        QVERIFY2(back.status == 0, qPrintable(back.out + back.err));
        QTEST(SetsOf(fleet, "127.1.0.2"), "sets");
        QCOMPARE(Ctl(at + QStringList {"--exit-code"} + diff + QStringList {"127.1.0.2"}).status, 0);
    }

    // First run: every module in one commit; unchanged: none; one module
    // changed: one commit naming it and its settings, read back by history;
    // --at brings the earlier version back to the module; a module that
    // fails keeps its last version and is named.
    void oneCommitPerChangedRun()
    {
        SimFleetSpec spec;
        spec.size = 4;
        spec.silent = {"127.1.0.4"};
        SimModule fleet(spec);
        QTemporaryDir dir;
        const QString history = dir.filePath("history");
        const QString inventory = Inventory(dir, kThree);
        const QStringList save = PortArgs(fleet) + Quick()
            + QStringList {"--inventory", inventory, "--history", history, "switch", "read"};
        const CtlRun first = Ctl(save);
        QVERIFY2(first.status == 0, qPrintable(first.err));
        QCOMPARE(Lines(first.out),
            QStringList({"core-a (127.1.0.1): switch configuration recorded: first version",
                "core-a (127.1.0.1): done (status 0)",
                "core-b (127.1.0.2): switch configuration recorded: first version",
                "core-b (127.1.0.2): done (status 0)", "127.1.0.3: switch configuration recorded: first version",
                "127.1.0.3: done (status 0)"}));
        QCOMPARE(Git(history, {"ls-files"}), QString("127.1.0.3.rcs\ncore-a.rcs\ncore-b.rcs"));
        QCOMPARE(ReadAll(history + "/core-b.rcs"), DefaultImage());

        const CtlRun unchanged = Ctl(save);
        QVERIFY(unchanged.out.contains("core-b (127.1.0.2): switch configuration unchanged"));
        QVERIFY(unchanged.err.endsWith("nothing changed, no commit\n"));
        QCOMPARE(Git(history, {"rev-list", "--count", "HEAD"}), QString("1"));

        SetRegister11(fleet, dir, "127.1.0.2", 0x07);
        const CtlRun changed = Ctl(save + QStringList {"--json"});
        const QList<QJsonObject> objects = JsonLines(changed.out);
        QCOMPARE(objects.size(), 4);
        QCOMPARE(objects[1].value("name").toString(), QString("core-b"));
        QCOMPARE(objects[1].value("change").toString(), QString("changed"));
        const QJsonArray settings {"Port 0: Enable Port (Rx/Tx)", "Port 0: Enable Learning of MAC addresses"};
        QCOMPARE(objects[1].value("changes").toArray(), settings);
        QCOMPARE(objects[0].value("change").toString(), QString("unchanged"));
        const QJsonObject record = objects[3].value("summary").toObject().value("history").toObject();
        QCOMPARE(record.value("changed_hosts").toArray(), QJsonArray {"127.1.0.2"});
        QCOMPARE(record.value("commit").toString(), Git(history, {"rev-parse", "HEAD"}));
        QCOMPARE(Git(history, {"log", "-1", "--format=%B"}),
            QString("switch read: 1 of 3 modules changed\n\ncore-b.rcs, 127.1.0.2:\n"
                    "- Port 0: Enable Port (Rx/Tx)\n- Port 0: Enable Learning of MAC addresses"));
        // git log -p shows the registers as switch show does.
        QVERIFY(Git(history, {"log", "-1", "-p"})
                    .contains(
                        "-register 11: 0xFF  [Port 0: Enable Port (Rx/Tx); Port 0: Enable Learning of MAC addresses]\n"
                        "+register 11: 0x07"));
        QCOMPARE(Git(history, {"status", "--porcelain"}), QString());

        const CtlRun versions = Ctl({"--history", history, "history", "core-b"});
        QCOMPARE(versions.status, 0);
        const QStringList rows = Lines(versions.out);
        QCOMPARE(rows.size(), 2);
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d UTC  [0-9a-f]{10}  core-b.rcs  "
                                    "Port 0: Enable Port \\(Rx/Tx\\); Port 0: Enable Learning of MAC addresses$")
                     .match(rows[0])
                     .hasMatch(),
            qPrintable(rows[0]));
        QVERIFY(rows[1].endsWith("core-b.rcs  first version"));
        QCOMPARE(Ctl({"--history", history, "--inventory", inventory, "history", "127.1.0.2"}).out, versions.out);
        QCOMPARE(Ctl({"--history", history, "history", "127.1.0.2"}).out, versions.out);  // noted with its address

        // The group's versions before the change, back on its modules: one
        // SET of register 11 on core-b, none on core-a.
        const QString before = rows[1].mid(25, 10);
        fleet.ClearJournal();
        const CtlRun back = Ctl(PortArgs(fleet)
            + QStringList {
                "--history", history, "--at", before, "--inventory", inventory, "--group", "core", "switch", "write"});
        QVERIFY2(back.status == 0, qPrintable(back.err));
        QCOMPARE(Count(fleet.JournalOf("127.1.0.1"), "set", Oid::SwitchRegister(11)), 0);
        std::vector<JournalEntry> sets;
        for (const JournalEntry& entry : fleet.JournalOf("127.1.0.2"))
            if (entry.op == "set")
                sets.push_back(entry);
        QCOMPARE(sets.size(), size_t(1));
        QCOMPARE(sets[0].oid, Oid::SwitchRegister(11));
        QCOMPARE(sets[0].value, std::string("255"));

        // By address alone: the file the history notes with it; the module
        // now differs from the last version in register 11.
        const CtlRun drift = Ctl(PortArgs(fleet)
            + QStringList {"--history", history, "--at", "HEAD", "--exit-code", "switch", "diff", "127.1.0.2"});
        QCOMPARE(drift.status, 1);
        QVERIFY2(drift.out.startsWith("register 11: 0xFF -> 0x07"), qPrintable(drift.out + drift.err));

        // core-b moves to a silent address: it fails and keeps its version.
        Inventory(dir, "address,name,group\n127.1.0.1,core-a,core\n127.1.0.4,core-b,core\n127.1.0.3,,edge\n");
        SetRegister11(fleet, dir, "127.1.0.1", 0x06);
        const CtlRun failing = Ctl(save);
        QCOMPARE(failing.status, 3);
        QCOMPARE(ReadAll(history + "/core-b.rcs"), DefaultImage().replace(11, 1, "\x07"));
        QVERIFY(Git(history, {"log", "-1", "--format=%B"})
                    .endsWith("Failed, last good version kept:\n- core-b (127.1.0.4)"));
        QVERIFY(failing.err.contains("kalvorctl: 1 of 3 modules failed: 127.1.0.4\n"));
    }

    // SIGINT during a run: the modules done are committed, whole, the files
    // in the folder match the commit; a second run at once is refused
    // before any request, naming the first.
    void interruptedAndConcurrentRuns()
    {
        SimFleetSpec spec;
        spec.size = 8;
        spec.slow = {"127.1.0.1-127.1.0.8"};
        spec.slowMs = 20;  // about 3 s a module
        SimModule fleet(spec);
        SimModule other("{}", "127.0.0.9");
        QTemporaryDir dir;
        const QString history = dir.filePath("history");
        QByteArray list;
        for (int i = 1; i <= 8; ++i)
            list += "127.1.0." + QByteArray::number(i) + "\n";
        WriteAll(dir.filePath("list"), list);
        QProcess run;
        StartCtl(run,
            PortArgs(fleet)
                + QStringList {"--jobs", "2", "--hosts", dir.filePath("list"), "--history", history, "switch", "read"});
        QByteArray out;
        while (!out.contains("done (status 0)") && run.waitForReadyRead(30000))
            out += run.readAllStandardOutput();
        QVERIFY(out.contains("done (status 0)"));

        const CtlRun second = Ctl(PortArgs(other) + QStringList {"--history", history, "switch", "read", "127.0.0.9"});
        QCOMPARE(second.status, 2);
        QCOMPARE(second.err,
            "kalvorctl: --history " + history + ": another kalvorctl run is recording into it (process "
                + QString::number(run.processId()) + "); try again when it has finished\n");
        QVERIFY(other.Journal().empty());

        ::kill(pid_t(run.processId()), SIGINT);
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 130);
        out += run.readAllStandardOutput();
        QStringList done;
        for (const QString& line : Lines(QString::fromLatin1(out)))
            if (line.endsWith(": done (status 0)"))
                done << line.section(':', 0, 0) + ".rcs";
        QVERIFY(done.size() < 8);
        QCOMPARE(Git(history, {"show", "--name-only", "--format=", "HEAD"}).split('\n'), done);
        QCOMPARE(Git(history, {"status", "--porcelain"}), QString());
        QCOMPARE(Git(history, {"log", "-1", "--format=%s"}),
            "switch read: " + QString::number(done.size()) + " of 8 modules changed, interrupted");
    }

    // The inventory: names, groups, communities per module (the run's for
    // the others), never shown; refused when unusable, before any request.
    void inventory_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("refusal");  // empty: runs
        QTest::addColumn<QStringList>("reached");  // address:community of each request
        QTest::newRow("two communities in one run")
            << QByteArray("Address, Name, Group, RO\n127.0.0.1,alpha,lab,alpharead\n127.0.0.2,beta,lab,\n") << 0600
            << QStringList {} << "" << QStringList {"127.0.0.1:alpharead", "127.0.0.2:582019374620"};
        QTest::newRow("quoted fields") << QByteArray(
            "address,name,group,ro\n\"127.0.0.1\",alpha,\"lab, \"\"north\"\"\",\"alpharead\"\n")
                                       << 0600 << QStringList {} << "" << QStringList {"127.0.0.1:alpharead"};
        QTest::newRow("a group") << QByteArray("address,name,group\n127.0.0.1,alpha,lab\n127.0.0.2,beta,edge\n") << 0644
                                 << QStringList {"--group", "edge"} << "" << QStringList {"127.0.0.2:582019374620"};
        QTest::newRow("public with communities")
            << QByteArray("address,name,group,rw\n127.0.0.1,alpha,lab,secret\n") << 0644 << QStringList {}
            << "others than its owner may read or change it (mode 0644)" << QStringList {};
        QTest::newRow("no such group") << QByteArray("address,name,group\n127.0.0.1,alpha,lab\n") << 0600
                                       << QStringList {"--group", "edge"} << "no module of group edge"
                                       << QStringList {};
        QTest::newRow("an address twice")
            << QByteArray("address,name,group\n127.0.0.1,a,x\n127.0.0.01,b,x\n") << 0600 << QStringList {}
            << ":3: 127.0.0.1 is listed again (first on line 2)" << QStringList {};
        QTest::newRow("a name twice") << QByteArray("address,name,group\n127.0.0.1,a,x\n127.0.0.2,a,x\n") << 0600
                                      << QStringList {} << ":3: a is listed again" << QStringList {};
        QTest::newRow("a name with a slash") << QByteArray("address,name,group\n127.0.0.1,a/b,x\n") << 0600
                                             << QStringList {} << ":2: not a module name" << QStringList {};
        QTest::newRow("no group column") << QByteArray("address,name\n127.0.0.1,a\n") << 0600 << QStringList {}
                                         << ":1: the header names no column group" << QStringList {};
        QTest::newRow("a long community")
            << QByteArray("address,name,group,ro\n127.0.0.1,a,x,thirteen-long\n") << 0600 << QStringList {}
            << ":2: ro: the community string has more than 12" << QStringList {};
    }
    void inventory()
    {
        QFETCH(QByteArray, csv);
        QFETCH(int, mode);
        QFETCH(QStringList, args);
        QFETCH(QString, refusal);
        QFETCH(QStringList, reached);
        SimModule first(R"({"readCommunity": "alpharead"})", "127.0.0.1");
        SimModule second("{}", "127.0.0.2", first.Port());
        QTemporaryDir dir;
        const QString file = Inventory(dir, csv, mode_t(mode));
        const CtlRun run = Ctl(PortArgs(first) + Quick() + args + QStringList {"--inventory", file, "info", "--json"});
        if (!refusal.isEmpty()) {
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.startsWith("kalvorctl: --inventory: " + file) && run.err.contains(refusal),
                qPrintable(run.err));
            QVERIFY(first.Journal().empty() && second.Journal().empty());
            QVERIFY(!run.err.contains("secret") && !run.err.contains("thirteen"));
            return;
        }
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QStringList seen;
        for (SimModule* sim : {&first, &second})
            for (const JournalEntry& entry : sim->Journal())
                if (!seen.contains(sim->Address() + ":" + QString::fromStdString(entry.community)))
                    seen << sim->Address() + ":" + QString::fromStdString(entry.community);
        QCOMPARE(seen, reached);
        const QList<QJsonObject> objects = JsonLines(run.out);
        QCOMPARE(objects.first().value("name").toString().isEmpty(), false);
        QVERIFY(!run.out.contains("alpharead") && !run.err.contains("alpharead"));
    }

    // Hooks: once per module concerned, its environment, at most --jobs at
    // once (in list order with --jobs 1), a failing or overlong hook
    // reported without changing the status.
    void hooks_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("hook");  // after the environment is written to `log`
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("logged");  // HOST|NAME|STATUS|CHANGES|FILE, in list order
        QTest::addColumn<QString>("reported");  // on standard error, or empty
        const QString changes = "Port 0: Enable Port (Rx/Tx),Port 0: Enable Learning of MAC addresses";
        QTest::newRow("on-change with history")
            << QStringList {"--history", "HIST", "--on-change", "HOOK", "switch", "read"} << "" << 3
            << QStringList {"127.0.0.1|alpha|0|" + changes + "|HIST/alpha.rcs"} << "";
        QTest::newRow("on-change without history")
            << QStringList {"--on-change", "HOOK", "switch", "read", "DIR/{name}.rcs"} << "" << 3
            << QStringList {"127.0.0.1|alpha|0|" + changes + "|DIR/alpha.rcs"} << "";
        QTest::newRow("on-failure, one at a time")
            << QStringList {"--jobs", "1", "--on-failure", "HOOK", "switch", "read", "DIR/{name}.rcs"} << "" << 3
            << QStringList {"127.0.0.3|127.0.0.3|3||DIR/127.0.0.3.rcs", "127.0.0.4|127.0.0.4|3||DIR/127.0.0.4.rcs"}
            << "";
        QTest::newRow("a failing hook") << QStringList {"--on-failure", "HOOK", "info"} << "exit 7" << 1
                                        << QStringList {"127.0.0.3|127.0.0.3|1||", "127.0.0.4|127.0.0.4|1||"}
                                        << "127.0.0.3: on-failure hook: exit status 7";
        QTest::newRow("an overlong hook")
            << QStringList {"--hook-timeout", "0.5", "--on-failure", "HOOK", "info"} << "sleep 60" << 1
            << QStringList {"127.0.0.3|127.0.0.3|1||", "127.0.0.4|127.0.0.4|1||"}
            << "127.0.0.4: on-failure hook: stopped after the time limit of --hook-timeout";
    }
    void hooks()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, hook);
        QFETCH(int, status);
        QFETCH(QStringList, logged);
        QFETCH(QString, reported);
        SimModule first("{}", "127.0.0.1");
        SimModule second("{}", "127.0.0.2", first.Port());
        QTemporaryDir dir;
        const QString inventory
            = Inventory(dir, "address,name,group\n127.0.0.1,alpha,x\n127.0.0.2,beta,x\n127.0.0.3,,x\n127.0.0.4,,x\n");
        const QString log = dir.filePath("log");
        // A second hook running at once finds the folder taken.
        const QString command = "mkdir " + dir.filePath("busy") + " || echo overlap >> " + log
            + "; printf '%s|%s|%s|%s|%s\\n' "
              "\"$KALVOR_HOST\" \"$KALVOR_NAME\" \"$KALVOR_STATUS\" \"$(echo \"$KALVOR_CHANGES\" | paste -sd,)\" "
              "\"$KALVOR_FILE\" >> "
            + log + "; sleep 0.2; rmdir " + dir.filePath("busy") + "; " + hook;
        for (QString& arg : args)
            arg = arg == "HOOK" ? command : QString(arg).replace("HIST", dir.filePath("h")).replace("DIR", dir.path());
        const QStringList base = PortArgs(first) + Quick() + QStringList {"--inventory", inventory};
        if (args.contains("read")) {  // a first run, then one with alpha changed
            QVERIFY(Ctl(base + QStringList(args).replaceInStrings(command, "true")).status == 3);
            SetRegister11(first, dir, "127.0.0.1", 0x07);
        }
        const CtlRun run = Ctl(base + args);
        QCOMPARE(run.status, status);
        QStringList lines = Lines(QString::fromLocal8Bit(ReadAll(log)));
        if (!args.contains("1")) {  // hooks at once, in the order their modules ended
            lines.removeAll("overlap");
            lines.sort();
        }
        for (QString& line : logged)
            line.replace("HIST", dir.filePath("h")).replace("DIR", dir.path());
        QCOMPARE(lines, logged);
        if (!reported.isEmpty())
            QVERIFY2(run.err.contains("kalvorctl: " + reported + "\n"), qPrintable(run.err));
        else
            QVERIFY2(!run.err.contains("hook"), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCtlHistory)
#include "test_ctl_history.moc"
