// Times `kalvorctl switch read` and `kalvorctl module save` of a simulated
// fleet of 1,000 modules at --jobs 64 with real pauses, with and without
// --history:
// - without: one file per module ({host}.rcs, {host}.txt), each flushed to
//   the disk;
// - with: the first run (every module committed), a second run (nothing
//   changed, no commit) and a third after one module changed (one commit);
//   the history writes one pack a run and flushes a few files, not one per
//   module.
// Each kind of run twice, the best kept. Prints, for each command, each
// time, the commits after each history run (the repository grows by one
// commit per changed run) and "COMMAND: ratio X.XX", the slowest history
// run over the run without it; last "ratio X.XX", the larger of the two.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "settings/SwitchTables.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"

namespace {
constexpr int kModules = 1000;
constexpr int kJobs = 64;

// Seconds that kalvorctl with `args` takes; false when it failed.
bool CtlSeconds(const QStringList& args, double& seconds)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    process.start(KALVOR_CTL_PATH, args);
    process.waitForFinished(900000);
    seconds = timer.nsecsElapsed() / 1e9;
    if (process.exitCode() != 0)
        fprintf(stderr, "kalvorctl %s: status %d\n%s", qPrintable(args.join(' ')), process.exitCode(),
            process.readAllStandardError().constData());
    return process.exitCode() == 0;
}

// Register 11 of the fifth module set to a value it has not had yet.
bool ChangeOneModule(const SimModule& fleet, const QTemporaryDir& dir)
{
    static char value = 0x07;
    QByteArray image(reinterpret_cast<const char*>(kDefaultImage.data()), int(kDefaultImage.size()));
    image[11] = value--;
    QFile changed(dir.filePath("changed.rcs"));
    if (!changed.open(QIODevice::WriteOnly) || changed.write(image) != image.size())
        return false;
    changed.close();
    qputenv("KALVOR_RESTART_WAIT_MS", "0");
    double seconds = 0;
    return CtlSeconds(
        {"--port", QString::number(fleet.Port()), "switch", "write", fleet.FleetAddress(4), changed.fileName()},
        seconds);
}

int Commits(const QString& history)
{
    QProcess git;
    git.start("git", {"-C", history, "rev-list", "--count", "HEAD"});
    git.waitForFinished(60000);
    return git.readAllStandardOutput().trimmed().toInt();
}

struct Command {
    const char* words;
    const char* extension;  // of the file each module is saved to
};
const Command kCommands[] = {{"switch read", ".rcs"}, {"module save", ".txt"}};

// The runs of `command` with and without --history; its ratio, or a
// negative number when a run failed.
double Measure(const SimModule& fleet, const QString& list, const QTemporaryDir& dir, const Command& command)
{
    const QStringList common
        = QStringList {"--port", QString::number(fleet.Port()), "--jobs", QString::number(kJobs), "--hosts", list}
        + QString(command.words).split(' ');
    // Each kind of run twice, the best of each kept: the machine may be busy.
    const char* const kRuns[] = {"first (every module)", "unchanged", "one module changed"};
    double plain = 1e9, seconds = 0, best[3] = {1e9, 1e9, 1e9};
    int commits[3] = {};
    for (int round = 0; round < 2; ++round) {
        if (!CtlSeconds(common + QStringList {dir.filePath(QString("plain-{host}") + command.extension)}, seconds))
            return -1;
        plain = std::min(plain, seconds);
        const QString history = dir.filePath(QString("history-") + command.extension + QString::number(round));
        for (int run = 0; run < 3; ++run) {
            if (run == 2 && !ChangeOneModule(fleet, dir))
                return -1;
            if (!CtlSeconds(common + QStringList {"--history", history}, seconds))
                return -1;
            best[run] = std::min(best[run], seconds);
            commits[run] = Commits(history);
        }
    }
    printf("%s of %d modules, --jobs %d, without --history: %.2f s\n", command.words, kModules, kJobs, plain);
    double slowest = 0;
    for (int run = 0; run < 3; ++run) {
        printf("  with --history, %s run: %.2f s (x%.2f), %d commits after it\n", kRuns[run], best[run],
            best[run] / plain, commits[run]);
        slowest = std::max(slowest, best[run]);
    }
    printf("%s: ratio %.2f\n", command.words, slowest / plain);
    fflush(stdout);
    return slowest / plain;
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TestEnvironment::Init();
    SimFleetSpec spec;
    spec.size = kModules;
    SimModule fleet(spec);
    QTemporaryDir dir;
    QByteArray text;
    for (int i = 0; i < kModules; ++i)
        text += fleet.FleetAddress(i).toLatin1() + "\n";
    const QString list = dir.filePath("fleet.txt");
    QFile listFile(list);
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(text) != text.size())
        return 1;
    listFile.close();
    double largest = 0;
    for (const Command& command : kCommands) {
        const double ratio = Measure(fleet, list, dir, command);
        if (ratio < 0)
            return 1;
        largest = std::max(largest, ratio);
    }
    printf("ratio %.2f\n", largest);
    return 0;
}
