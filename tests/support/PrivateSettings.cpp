// Installed in every test executable at start-up: the program's settings go
// to a configuration directory of the test's own, removed at exit, so no test
// reads or writes the user's settings, nor another test's.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

void UsePrivateConfigDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kalvor-test-config-XXXXXX"));
    if (!dir.isValid())
        qFatal("cannot create a private configuration directory");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(UsePrivateConfigDir)
