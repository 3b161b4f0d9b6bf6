// The module history folder: one commit per run of what changed, none when
// nothing did, its messages read back as versions, one recording run at a
// time, and a commit that a kill or a signal never leaves half made. The
// repository is inspected with git itself.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "history/HistoryStore.h"

namespace {

// git's standard output in `dir`, trimmed; a failing git fails the test.
QString Git(const QString& dir, const QStringList& args, int* status = nullptr)
{
    QProcess git;
    git.start("git", QStringList {"-C", dir} + args);
    git.waitForFinished(60000);
    if (status)
        *status = git.exitCode();
    else if (git.exitCode() != 0)
        qWarning("git %s: %s", qPrintable(args.join(' ')), git.readAllStandardError().constData());
    return QString::fromUtf8(git.readAllStandardOutput()).trimmed();
}

std::string Dir(const QTemporaryDir& dir) { return dir.filePath("history").toStdString(); }

// One recording run: every file of `files` that differs from its last
// version is staged with `settings`; returns the commit's id or "".
QString RunOnce(const std::string& dir, const std::map<std::string, std::string>& files,
    const std::vector<std::string>& settings = {"Port 1: Speed"}, const std::vector<std::string>& failed = {})
{
    std::string error, commit;
    const auto store = CHistoryStore::Record(dir, error);
    if (!store) {
        qWarning("%s", error.c_str());
        return "error";
    }
    for (const auto& [file, bytes] : files) {
        if (!store->Differs(file, bytes))
            continue;
        std::string last;
        const bool first = !store->Last(file, last);
        store->Stage(
            {file, "127.0.0." + file.substr(0, 1), first, first ? std::vector<std::string> {} : settings}, bytes);
    }
    if (!store->Commit("switch read", failed, commit, error))
        qWarning("%s", error.c_str());
    return QString::fromStdString(commit);
}

std::map<std::string, std::string> ManyFiles(int count, char fill)
{
    std::map<std::string, std::string> files;
    for (int i = 0; i < count; ++i)
        files["m" + std::to_string(i) + ".rcs"] = std::string(128, fill) + std::to_string(i);
    return files;
}

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    // First run: every module; unchanged: no commit; one change: one commit
    // naming it and its setting; a failed module keeps its last version.
    void oneCommitPerChangedRun()
    {
        QTemporaryDir temp;
        const std::string dir = Dir(temp);
        const QString path = QString::fromStdString(dir);
        std::map<std::string, std::string> files {{"1.rcs", "one"}, {"2.rcs", "two"}, {"3.rcs", "three"}};
        const QString first = RunOnce(dir, files);
        QCOMPARE(first.size(), 40);
        QCOMPARE(Git(path, {"ls-files"}).split('\n'), QStringList({"1.rcs", "2.rcs", "3.rcs"}));
        QVERIFY(Git(path, {"log", "-1", "--format=%B"}).contains("2.rcs, 127.0.0.2: first version"));
        QCOMPARE(RunOnce(dir, files), QString());
        files["2.rcs"] = "TWO";
        const QString second = RunOnce(dir, files, {"Port 1: Speed", "VLANB"}, {"edge (127.0.0.9)"});
        QCOMPARE(Git(path, {"rev-list", "--count", "HEAD"}), QString("2"));
        QCOMPARE(Git(path, {"show", "--name-only", "--format=", "HEAD"}), QString("2.rcs"));
        QCOMPARE(Git(path, {"log", "-1", "--format=%B"}),
            QString("switch read\n\n2.rcs, 127.0.0.2:\n- Port 1: Speed\n- VLANB\n\n"
                    "Failed, last good version kept:\n- edge (127.0.0.9)"));
        QCOMPARE(Git(path, {"status", "--porcelain"}), QString());
        QFile written(path + "/2.rcs");
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("TWO"));

        std::string error, bytes;
        const auto store = CHistoryStore::Read(dir, error);
        QVERIFY(store);
        const std::vector<HistoryVersion> versions = store->Versions("2.rcs");
        QCOMPARE(versions.size(), size_t(2));
        QCOMPARE(QString::fromStdString(versions[0].commit), second);
        QCOMPARE(versions[0].settings, (std::vector<std::string> {"Port 1: Speed", "VLANB"}));
        QVERIFY(!versions[0].first && versions[1].first);
        QCOMPARE(QString::fromStdString(versions[1].commit), first);
        // Versions of several files are put in order by their depth below
        // HEAD (both runs most likely fell in the same second).
        QCOMPARE(versions[0].depth, size_t(0));
        QCOMPARE(versions[1].depth, size_t(1));
        QCOMPARE(store->Versions("1.rcs").size(), size_t(1));
        QCOMPARE(store->Versions("1.rcs")[0].depth, size_t(1));
        QVERIFY(store->At(first.left(7).toStdString(), "2.rcs", bytes, error));
        QCOMPARE(bytes, std::string("two"));
        QVERIFY(store->At("HEAD", "2.rcs", bytes, error));
        QCOMPARE(bytes, std::string("TWO"));
        QVERIFY(!store->At("HEAD~5", "2.rcs", bytes, error));
        QCOMPARE(error, std::string("HEAD~5: no such version in the history"));
        QVERIFY(!store->At("HEAD", "9.rcs", bytes, error));
        QCOMPARE(store->FilesOf("2"), std::vector<std::string> {"2.rcs"});
        QCOMPARE(store->FilesOf("127.0.0.3"), std::vector<std::string> {"3.rcs"});  // noted with it
        QVERIFY(store->FilesOf("127.0.0.4").empty());
    }

    // The message's entries read back, whatever their neighbours.
    void messageEntries_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("note");
        QTest::addColumn<bool>("first");
        QTest::addColumn<QStringList>("settings");
        QTest::newRow("settings below") << "core.rcs" << true << "127.0.0.1" << false << QStringList {"A: b", "C"};
        QTest::newRow("first version, no note") << "127.0.0.2.rcs" << true << "" << true << QStringList {};
        QTest::newRow("a name that starts another's") << "core" << false << "" << false << QStringList {};
        QTest::newRow("only among the failed") << "edge.rcs" << false << "" << false << QStringList {};
        QTest::newRow("no named setting") << "odd.rcs" << true << "" << false << QStringList {};
    }
    void messageEntries()
    {
        QFETCH(QString, file);
        QFETCH(bool, found);
        QFETCH(QString, note);
        QFETCH(bool, first);
        QFETCH(QStringList, settings);
        const std::string message = ComposeHistoryMessage("subject",
            {{"core.rcs", "127.0.0.1", false, {"A: b", "C"}}, {"127.0.0.2.rcs", "", true, {}},
                {"odd.rcs", "", false, {}}},
            {"edge.rcs (127.0.0.9)"});
        HistoryEntry entry;
        QCOMPARE(FindHistoryEntry(message, file.toStdString(), entry), found);
        if (!found)
            return;
        QCOMPARE(QString::fromStdString(entry.note), note);
        QCOMPARE(entry.first, first);
        QStringList names;
        for (const std::string& name : entry.settings)
            names << QString::fromStdString(name);
        QCOMPARE(names, settings);
    }

    // A second recording run is refused while the first holds the folder,
    // naming it; reading is not. A folder holding other things is refused.
    void oneRecordingRunAtATime()
    {
        QTemporaryDir temp;
        const std::string dir = Dir(temp);
        std::string error;
        auto first = CHistoryStore::Record(dir, error);
        QVERIFY(first);
        QVERIFY(!CHistoryStore::Record(dir, error));
        QCOMPARE(QString::fromStdString(error),
            "another kalvorctl run is recording into it (process " + QString::number(getpid())
                + "); try again when it has finished");
        QVERIFY(CHistoryStore::Read(dir, error));
        first.reset();
        QVERIFY(CHistoryStore::Record(dir, error));

        QVERIFY(!CHistoryStore::Record(temp.filePath("no/such").toStdString(), error));
        QCOMPARE(error, std::string("its parent folder does not exist"));
        QFile other(temp.filePath("other"));
        QVERIFY(QDir(temp.path()).mkdir("other-dir") && other.open(QIODevice::WriteOnly));
        QVERIFY(!CHistoryStore::Record(temp.path().toStdString(), error));
        QVERIFY(error.find("holds other files") == 0);
    }

    // A process killed (SIGKILL) or signalled (SIGTERM) at any moment of its
    // run leaves the last commit or its own complete commit, never a branch
    // pointing at half a commit; after SIGTERM the folder's files match the
    // commit at once, after SIGKILL once the next run has opened it.
    void killedAtAnyMoment_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGKILL") << int(SIGKILL);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void killedAtAnyMoment()
    {
        QFETCH(int, signal);
        QTemporaryDir temp;
        const std::string dir = Dir(temp);
        const QString path = QString::fromStdString(dir);
        const int count = 300;
        QVERIFY(!RunOnce(dir, ManyFiles(count, 'a')).isEmpty());
        QString before = Git(path, {"rev-parse", "HEAD"});
        int committed = 0;
        // The children die of SIGTERM, not in the test framework's handler.
        const auto framework = std::signal(SIGTERM, SIG_DFL);
        for (int attempt = 0; attempt < 10; ++attempt) {
            const pid_t child = fork();
            if (child == 0) {
                RunOnce(dir, ManyFiles(count, char('b' + attempt)));
                _exit(0);
            }
            QVERIFY(child > 0);
            usleep(useconds_t(attempt * 30000));
            kill(child, signal);
            int status = 0;
            waitpid(child, &status, 0);
            if (signal == SIGTERM)
                QCOMPARE(Git(path, {"status", "--porcelain"}), QString());
            std::string error;
            QVERIFY(CHistoryStore::Record(dir, error));  // tidies after a kill
            QCOMPARE(Git(path, {"status", "--porcelain"}), QString());
            int fsck = 0;
            Git(path, {"fsck", "--no-dangling"}, &fsck);
            QCOMPARE(fsck, 0);
            const QString head = Git(path, {"rev-parse", "HEAD"});
            if (head != before) {
                QCOMPARE(Git(path, {"rev-parse", "HEAD~1"}), before);
                QCOMPARE(Git(path, {"show", "--name-only", "--format=", "HEAD"}).split('\n').size(), count);
                ++committed;
            }
            before = head;
        }
        std::signal(SIGTERM, framework);
        qDebug("%d of 10 runs committed before the signal", committed);
        QVERIFY(!RunOnce(dir, ManyFiles(count, 'z')).isEmpty());  // and the next run commits
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
