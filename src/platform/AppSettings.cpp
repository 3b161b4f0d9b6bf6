#include "platform/AppSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

QString SettingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/kalvor/kalvor.conf");
}

std::unique_ptr<QSettings> OpenSettings()
{
    return std::make_unique<QSettings>(SettingsFilePath(), QSettings::IniFormat);
}

bool ForgetSettings()
{
    const QFileInfo file(SettingsFilePath());
    if (!file.exists())
        return true;
    return file.isDir() ? false : QDir().remove(file.filePath());
}
