#include "support/CtlProcess.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>

void StartCtlProcess(QProcess& process, const QString& ctl, const QStringList& args, const QStringList& env)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KALVOR_RESTART_WAIT_MS", "0");
    environment.remove("KALVOR_RO_COMMUNITY");
    environment.remove("KALVOR_RW_COMMUNITY");
    for (const QString& pair : env)
        environment.insert(pair.section('=', 0, 0), pair.section('=', 1));
    process.setProcessEnvironment(environment);
    process.start(ctl, args);
}

CtlRun RunCtlProcess(const QString& ctl, const QStringList& args, const QStringList& env, const QByteArray& input,
    const std::function<void()>& child)
{
    QProcess process;
    if (child)
        process.setChildProcessModifier(child);
    StartCtlProcess(process, ctl, args, env);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    CtlRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

double TimedCtlProcess(const QString& ctl, const QStringList& args, int& status)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(ctl, args);
    process.waitForFinished(600000);
    status = process.exitCode();
    return timer.nsecsElapsed() / 1e9;
}
