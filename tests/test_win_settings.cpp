// What the program keeps between runs: the address of the last module whose
// settings were read (never a community string) and where each window was
// left. A missing, damaged or unreadable settings file gives the factory
// address and is left as it was.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <algorithm>
#include <unistd.h>

#include "core/AboutDlg.h"
#include "platform/AppSettings.h"
#include "platform/ScreenAreas.h"
#include "support/MainWindowFixture.h"

using namespace drive;

namespace {

const QString kFactoryAddress = QStringLiteral("172.16.100.2");
// The free area of the screen in the window place tests: inside the offscreen
// screen, so that only the program's own placing brings a window onto it.
const QRect kArea(40, 30, 600, 400);

QString StartAddress()
{
    CMainDlg window;
    window.Create();
    return Ip(window, IDC_MODULE_ADDRESS);
}

QString ReadAt(SimModule& sim, const QString& address)
{
    auto window = fixture::OpenMainWindow(sim);
    SetIp(*window, IDC_MODULE_ADDRESS, address);
    Press(*window, IDC_READ_SETTINGS);
    return Status(*window);
}

QByteArray FileBytes()
{
    QFile file(SettingsFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteSettingsFile(const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(SettingsFilePath()).path());
    QFile file(SettingsFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

}  // namespace

class TestWinSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }
    void init()
    {
        CMainDlg::SetStartAddress(QString());
        QFile::setPermissions(SettingsFilePath(), QFile::ReadOwner | QFile::WriteOwner);
        QDir(SettingsFilePath()).removeRecursively();
        QVERIFY(ForgetSettings());
    }

    void addressOfTheLastGoodReadIsRemembered()
    {
        QCOMPARE(StartAddress(), kFactoryAddress);
        SimModule sim("{}", QStringLiteral("127.0.0.7"));
        QCOMPARE(ReadAt(sim, sim.Address()), QString(fixture::kDataReceived));
        QCOMPARE(StartAddress(), sim.Address());

        // A read that fails (nothing answers there) is not remembered.
        QVERIFY(ReadAt(sim, QStringLiteral("127.0.0.8")) != fixture::kDataReceived);
        QCOMPARE(StartAddress(), sim.Address());

        // The command line's address comes first.
        CMainDlg::SetStartAddress(QStringLiteral("127.0.0.9"));
        QCOMPARE(StartAddress(), QStringLiteral("127.0.0.9"));
        CMainDlg::SetStartAddress(QString());

        const QByteArray stored = FileBytes();
        QVERIFY(stored.contains("127.0.0.7"));
        QVERIFY(!stored.contains(fixture::kWriteCommunity));
        QVERIFY(!stored.contains(fixture::kReadCommunity));

        QVERIFY(ForgetSettings());
        QCOMPARE(StartAddress(), kFactoryAddress);
    }

    void badSettingsGiveTheFactoryAddress_data()
    {
        QTest::addColumn<QByteArray>("contents");  // empty: the settings "file" is a directory
        QTest::addColumn<bool>("unreadable");
        const QByteArray good("[Module]\nAddress=127.0.0.7\n");
        static const char kGarbage[] = "\x00\xff[Mod\x01ule\n=\n\x7f==\xfe]]\nAddress\n";
        QTest::newRow("garbage") << QByteArray(kGarbage, sizeof kGarbage - 1) << false;
        QTest::newRow("address 999.1.1.1") << QByteArray("[Module]\nAddress=999.1.1.1\n") << false;
        QTest::newRow("address abc") << QByteArray("[Module]\nAddress=abc\n") << false;
        for (const char* address : {"0.0.0.0", "255.255.255.255", "224.0.0.1"})
            QTest::addRow("address %s", address) << QByteArray("[Module]\nAddress=") + address + "\n" << false;
        QTest::newRow("a directory") << QByteArray() << false;
        QTest::newRow("unreadable") << good << true;
    }

    void badSettingsGiveTheFactoryAddress()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, unreadable);
        if (unreadable && geteuid() == 0)
            QSKIP("the superuser reads any file");
        if (contents.isEmpty())
            QVERIFY(QDir().mkpath(SettingsFilePath()));
        else
            WriteSettingsFile(contents);
        if (unreadable)
            QFile::setPermissions(SettingsFilePath(), QFile::WriteOwner);

        QCOMPARE(StartAddress(), kFactoryAddress);
        QCOMPARE(QFileInfo(SettingsFilePath()).isDir(), contents.isEmpty());
        QFile::setPermissions(SettingsFilePath(), QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(FileBytes(), contents);
    }

    // The window is left at `left` on a screen whose free area is `kArea`;
    // it comes back there when its title bar is on that area, else moved the
    // least way onto it (within the 2 pixels the window system may add).
    void windowOpensWhereItWasLeft_data()
    {
        QTest::addColumn<QPoint>("left");
        QTest::addColumn<bool>("kept");
        QTest::newRow("inside") << QPoint(120, 90) << true;
        QTest::newRow("top-left corner") << kArea.topLeft() << true;
        QTest::newRow("lower part off the bottom") << QPoint(100, kArea.bottom() - 60) << true;
        QTest::newRow("off the right edge") << QPoint(kArea.right() - 50, 100) << false;
        QTest::newRow("title bar above the area") << QPoint(100, kArea.top() - 10) << false;
        QTest::newRow("far off") << QPoint(5000, -3000) << false;
    }

    void windowOpensWhereItWasLeft()
    {
        QFETCH(QPoint, left);
        QFETCH(bool, kept);
        SetScreenAreasForTest({kArea});
        QRect frame;
        {
            CAboutDlg about;
            about.show();
            about.move(left);
            frame = about.frameGeometry();
            about.hide();
        }
        CAboutDlg again;
        again.show();
        SetScreenAreasForTest({});
        const QRect back = again.frameGeometry();
        QCOMPARE(back.size(), frame.size());
        if (kept) {
            QCOMPARE(back.topLeft(), left);
            return;
        }
        const QPoint onArea(std::clamp(left.x(), kArea.left(), kArea.right() + 1 - frame.width()),
            std::clamp(left.y(), kArea.top(), kArea.bottom() + 1 - frame.height()));
        QVERIFY2(kArea.contains(back) && (back.topLeft() - onArea).manhattanLength() <= 2,
            qPrintable(QStringLiteral("%1,%2").arg(back.x()).arg(back.y())));
    }

    // A place stored by an earlier version (a bare position) is passed over.
    void oldStoredPlaceIsIgnored()
    {
        WriteSettingsFile("[Windows]\n100=@Point(5000 -3000)\n");
        CAboutDlg about;
        about.show();
        QVERIFY(about.frameGeometry().topLeft() != QPoint(5000, -3000));
        about.hide();
        QVERIFY(!FileBytes().contains("@Point"));
    }
};

QTEST_MAIN(TestWinSettings)
#include "test_win_settings.moc"
