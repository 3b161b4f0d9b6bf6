#pragma once
// A simulated module whose settings drift from a saved module settings file,
// a file edited by hand, and the writes that bring the module back, as the
// simulator's journal shows them.

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "snmp/SnmpRequest.h"
#include "support/SimModule.h"

struct Change {
    std::string oid;
    char type;
    std::string value;
};
using Changes = std::vector<Change>;
// A SET the journal shows: the OID and its value (octet strings in hex).
using Set = std::pair<std::string, std::string>;
using Sets = std::vector<Set>;

// The module drifts: the writes an operator made since the file was saved.
inline void Drift(const SimModule& sim, const Changes& changes)
{
    sim.Use();
    for (const Change& change : changes) {
        CSnmpRequest request(sim.Address().toLatin1().constData(), "marbled", 1);
        request.AddVar(change.oid, change.value.c_str(), change.type);
        QCOMPARE(request.Set(), 0);
    }
}

inline Sets SetsOf(const SimModule& sim)
{
    Sets sets;
    for (const JournalEntry& entry : sim.Journal())
        if (entry.op == "set")
            sets.push_back({entry.oid, entry.type == "s" ? entry.hex : entry.value});
    return sets;
}

// A settings file's `text` with the value of `key` replaced.
inline QByteArray Edited(const QByteArray& text, const QString& key, const QString& value)
{
    QString edited = QString::fromLatin1(text);
    edited.replace(
        QRegularExpression("\n" + QRegularExpression::escape(key) + " = [^\n#]*"), "\n" + key + " = " + value + " ");
    return edited.toLatin1();
}

inline QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return file.fileName();
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
