#include "core/RememberedModule.h"

#include <QSettings>
#include <memory>

#include "platform/AppSettings.h"
#include "snmp/ModuleAddress.h"

namespace {
const char kAddressKey[] = "Module/Address";
}  // namespace

QString RememberedModuleAddress(const QString& fallback)
{
    const QString stored = OpenSettings()->value(QLatin1String(kAddressKey)).toString();
    const ModuleAddressParse parsed = ParseModuleAddress(stored.toStdString());
    return parsed.Accepted() ? QString::fromStdString(parsed.address) : fallback;
}

void RememberModuleAddress(const QString& address) { OpenSettings()->setValue(QLatin1String(kAddressKey), address); }
