#pragma once
// What the kalvorctl tests share: kalvorctl run as a process (KALVOR_CTL_PATH
// is defined by the test's build), and small file, state and text helpers.

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QtTest>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "snmp/ModuleObjects.h"
#include "support/CtlProcess.h"
#include "support/SimModule.h"
#include "settings/SwitchDefaultImage.h"

// Starts kalvorctl (or `program`, which runs it) with `args` (the restart
// wait shortened for the test unless `env` sets it).
inline void StartCtl(
    QProcess& process, const QStringList& args, const QStringList& env = {}, const QString& program = KALVOR_CTL_PATH)
{
    StartCtlProcess(process, program, args, env);
}

// Runs kalvorctl with `input` on its standard input; `child` runs in the
// child process before kalvorctl starts.
inline CtlRun Ctl(const QStringList& args, const QStringList& env = {}, const QByteArray& input = {},
    const std::function<void()>& child = {})
{
    return RunCtlProcess(KALVOR_CTL_PATH, args, env, input, child);
}

inline QStringList PortArgs(const SimModule& sim) { return {"--port", QString::number(sim.Port())}; }

// State text setting the switch registers given as {register, value}.
inline std::string RegisterObjects(const std::vector<std::pair<int, int>>& registers, const std::string& more = "")
{
    std::string objects;
    for (const auto& [r, value] : registers) {
        if (!objects.empty())
            objects += ",";
        objects += "\"" + Oid::SwitchRegister(r) + "\": {\"type\": \"i\", \"value\": " + std::to_string(value) + "}";
    }
    return "{\"objects\": {" + objects + "}" + more + "}";
}

inline QByteArray DefaultImage()
{
    return QByteArray(reinterpret_cast<const char*>(kDefaultImage.data()), int(kDefaultImage.size()));
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline int Count(const std::vector<JournalEntry>& journal, const std::string& op, const std::string& oid)
{
    int count = 0;
    for (const JournalEntry& entry : journal)
        count += entry.op == op && entry.oid == oid;
    return count;
}

inline QStringList Lines(const QString& text) { return text.split('\n', Qt::SkipEmptyParts); }

// Every JSON object of `text`, one a line.
inline QList<QJsonObject> JsonLines(const QString& text)
{
    QList<QJsonObject> objects;
    for (const QString& line : Lines(text)) {
        QJsonParseError error {};
        objects << QJsonDocument::fromJson(line.toUtf8(), &error).object();
        if (error.error != QJsonParseError::NoError)
            qWarning("not JSON: %s", qPrintable(line));
    }
    return objects;
}
