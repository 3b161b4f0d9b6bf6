#pragma once
// The program's settings: one INI file in the user's configuration directory
// ($XDG_CONFIG_HOME/kalvor/kalvor.conf, ~/.config unless set). A file that
// cannot be read or parsed reads as empty and is never written over.

#include <QString>
#include <memory>

class QSettings;

QString SettingsFilePath();
std::unique_ptr<QSettings> OpenSettings();
// Forgets everything stored; false when a file is left that could not go.
bool ForgetSettings();
