#include "core/RememberedModule.h"

#include <QSettings>
#include <QStringList>
#include <memory>

#include "platform/AppSettings.h"

namespace {
const char kAddressKey[] = "Module/Address";
}  // namespace

bool IsDottedAddress(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok);
        if (!ok || value > 255)
            return false;
    }
    return true;
}

QString RememberedModuleAddress(const QString& fallback)
{
    const QString stored = OpenSettings()->value(QLatin1String(kAddressKey)).toString();
    return IsDottedAddress(stored) ? stored : fallback;
}

void RememberModuleAddress(const QString& address) { OpenSettings()->setValue(QLatin1String(kAddressKey), address); }
