#include "app/KalvorApp.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>

#include "app/LaunchTable.h"
#include "core/MainDlg.h"
#include "platform/UiSeam.h"
#include "res/AppIcon.h"
#include "res/Strings.h"
#include "snmp/SnmpRequest.h"

namespace {
// The sockets layer needs no start-up of its own here; kept as the one place
// that would report it.
bool SocketsAvailable() { return true; }

bool IsDottedAddress(const QString& text)
{
    const QStringList parts = text.split('.');
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

void Usage() { fprintf(stderr, "usage: kalvor [--address A.B.C.D] [--port N]\n"); }
}  // namespace

bool CKalvorApp::ParseArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!strcmp(argv[i], "--address") && hasValue) {
            const QString address = QString::fromLatin1(argv[++i]);
            if (!IsDottedAddress(address)) {
                fprintf(stderr, "kalvor: not an IPv4 address: %s\n", argv[i]);
                return false;
            }
            CMainDlg::SetStartAddress(address);
        } else if (!strcmp(argv[i], "--port") && hasValue) {
            bool ok = false;
            const uint port = QString::fromLatin1(argv[++i]).toUInt(&ok);
            if (!ok || port == 0 || port > 65535) {
                fprintf(stderr, "kalvor: not a UDP port: %s\n", argv[i]);
                return false;
            }
            CSnmpRequest::SetPortOverride(static_cast<uint16_t>(port));
        } else {
            Usage();
            return false;
        }
    }
    return true;
}

int CKalvorApp::Run(int argc, char** argv)
{
    if (!ParseArguments(argc, argv))
        return 2;
    QApplication application(argc, argv);
    QApplication::setWindowIcon(AppIcon());
    if (!SocketsAvailable()) {
        AfxMessageBox(QString::fromLatin1(IDS_SOCKETS_INIT_FAILED), MB_OK);
        return 1;
    }
    CMainDlg mainWindow(KalvorLaunchTable());
    mainWindow.DoModal();
    return 0;
}
