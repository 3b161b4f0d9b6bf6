#include "app/KalvorApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <cstdio>
#include <cstring>

#include "app/LaunchTable.h"
#include "core/MainDlg.h"
#include "core/RememberedModule.h"
#include "platform/AppSettings.h"
#include "platform/UiSeam.h"
#include "res/AppIcon.h"
#include "res/Strings.h"
#include "snmp/ModuleAddress.h"
#include "snmp/SnmpRequest.h"

namespace {
const char kVersion[] = "2.07";
const char kDesktopFileName[] = "org.kalvor.Kalvor";

// The sockets layer needs no start-up of its own here; kept as the one place
// that would report it.
bool SocketsAvailable() { return true; }

void Usage()
{
    fprintf(stderr,
        "usage: kalvor [--address A.B.C.D] [--port N] [--trace FILE] [--reset-settings] [--help] [--version]\n");
}

// Words that ask only for a text. Looked for before any application object
// exists, so that they work where no display can be opened.
bool AsksForText(const char* argument)
{
    static const char* const kWords[] = {"--help", "-h", "-?", "--help-all", "--version", "-v", "--reset-settings"};
    for (const char* word : kWords)
        if (!strcmp(argument, word))
            return true;
    return false;
}
}  // namespace

void CKalvorApp::DescribeOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Configures an IP module and its switch board over SNMPv1."));
    // Qt's options are single-dash words; ours never are, so "-reverse" is
    // never read as a pile of one-letter options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("address"), QStringLiteral("Module address at start-up (default 172.16.100.2)."),
        QStringLiteral("A.B.C.D")});
    parser.addOption({QStringLiteral("port"),
        QStringLiteral("UDP port of every SNMP request (default: the library's)."), QStringLiteral("N")});
    parser.addOption({QStringLiteral("trace"), QStringLiteral("Write every SNMP request and answer to FILE."),
        QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("reset-settings"),
        QStringLiteral("Forget the module address and the window positions kept from earlier runs, and end.")});
}

int CKalvorApp::PrintHelpOrVersion(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    DescribeOptions(parser);
    // Anything else on the line (Qt's options among them) does not matter here.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        fputs(qPrintable(parser.helpText()), stdout);
    } else if (parser.isSet(QStringLiteral("version"))) {
        printf("Kalvor %s\n", kVersion);
    } else if (!ForgetSettings()) {
        fprintf(stderr, "kalvor: cannot remove %s\n", qPrintable(SettingsFilePath()));
        return 1;
    } else {
        printf("Kalvor: settings forgotten (%s)\n", qPrintable(SettingsFilePath()));
    }
    return 0;
}

bool CKalvorApp::ApplyOptions(const QCommandLineParser& parser)
{
    if (parser.isSet(QStringLiteral("address"))) {
        // Decimal parts, handed on in canonical form: "010" is ten, not octal eight.
        const ModuleAddressParse address
            = ParseModuleAddress(parser.value(QStringLiteral("address")).toLocal8Bit().toStdString());
        if (!address.Accepted()) {
            fprintf(stderr, "kalvor: --address: %s\n", address.error.c_str());
            return false;
        }
        CMainDlg::SetStartAddress(QString::fromStdString(address.address));
    }
    if (parser.isSet(QStringLiteral("port"))) {
        const QString text = parser.value(QStringLiteral("port"));
        bool ok = false;
        const uint port = text.toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            fprintf(stderr, "kalvor: not a UDP port: %s\n", qPrintable(text));
            return false;
        }
        CSnmpRequest::SetPortOverride(static_cast<uint16_t>(port));
    }
    // A trace file that cannot be opened is said on standard error there.
    if (parser.isSet(QStringLiteral("trace")))
        return CSnmpRequest::SetTraceFile(QFile::encodeName(parser.value(QStringLiteral("trace"))).toStdString());
    return true;
}

int CKalvorApp::Run(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Kalvor"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    for (int i = 1; i < argc; ++i)
        if (AsksForText(argv[i]))
            return PrintHelpOrVersion(argc, argv);

    // QApplication takes its own options out of the list; the rest is ours.
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QCommandLineParser parser;
    DescribeOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        fprintf(stderr, "kalvor: %s\n", qPrintable(parser.errorText()));
        Usage();
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        Usage();
        return 2;
    }
    if (!ApplyOptions(parser))
        return 2;

    QApplication::setWindowIcon(AppIcon());
    if (!SocketsAvailable()) {
        AfxMessageBox(QString::fromLatin1(IDS_SOCKETS_INIT_FAILED), MB_OK);
        return 1;
    }
    CMainDlg mainWindow(KalvorLaunchTable());
    mainWindow.DoModal();
    return 0;
}
