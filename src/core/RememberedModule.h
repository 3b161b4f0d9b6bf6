#pragma once
// The module the main window starts with: the address of the last module
// whose settings were read, kept in the program's settings (never a
// community string).

#include <QString>

// The stored address, or `fallback` when none is stored or it is no module
// address (see snmp/ModuleAddress.h).
QString RememberedModuleAddress(const QString& fallback);
void RememberModuleAddress(const QString& address);
