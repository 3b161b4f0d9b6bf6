#pragma once
// kalvorctl as a process for a test: the restart wait shortened (unless the
// test sets it), no community from the environment.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

struct CtlRun {
    int status = -1;  // -1: did not end normally within a minute
    QString out;
    QString err;
};

// Starts `ctl` with `args`; `env` holds NAME=VALUE pairs added to the
// environment.
void StartCtlProcess(QProcess& process, const QString& ctl, const QStringList& args, const QStringList& env = {});
// Runs it to its end with `input` on its standard input; `child` (when
// given) runs in the child process before the program starts.
CtlRun RunCtlProcess(const QString& ctl, const QStringList& args, const QStringList& env = {},
    const QByteArray& input = {}, const std::function<void()>& child = {});
// Seconds `ctl` with `args` takes to its end (at most ten minutes); its exit
// status in `status`.
double TimedCtlProcess(const QString& ctl, const QStringList& args, int& status);
