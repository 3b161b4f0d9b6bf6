#pragma once
// The module settings file: a text file of one setting a line,
//
//   # comments (a '#' starts one anywhere in a line)
//   format = 1
//   firmware = 4.073
//   mac = 00 0A 1B 2C 3D 4E
//   ip = 10.0.0.7                 # IP
//   mode1.bit5 = on               # Trellim control mode
//   switch.reg013 = 0x0F          # register 13: Port 0: VLAN index
//
// with the keys of SettingsCatalog.h. The first setting line names the
// format; the file then holds exactly the settings that a module of its
// firmware (and its switch control and RS-232 modes) has: none missing,
// none more, each once.

#include <QByteArray>
#include <QString>

#include "settings/SettingsSnapshot.h"

inline constexpr int kSettingsFileFormat = 1;

// The file's text, the labels as comments.
QByteArray SettingsFileText(const SettingsSnapshot& snapshot);

struct SettingsFileParse {
    bool ok = false;
    QString error;  // why not, one line ("line 7: ...")
    SettingsSnapshot snapshot;
};
SettingsFileParse ParseSettingsFile(const QByteArray& text);
// Reads and parses the file at `path` (the error then says when it cannot
// be read).
SettingsFileParse ReadSettingsFile(const QString& path);
// Writes the file through a temporary file that replaces `path` only when
// complete; false with `error` set otherwise (an existing file unchanged).
bool WriteSettingsFile(const QString& path, const SettingsSnapshot& snapshot, QString& error);
