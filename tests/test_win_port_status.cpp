// The port status window against a simulated module: the 24 reads and their
// order, decoding of each indicator, the warning for a switch that does not
// answer, a refresh that fails, and two windows open at once.

#include <QLabel>
#include <QtTest>

#include <memory>

#include "res/MainDlgIds.h"
#include "res/PortStatusDlgIds.h"
#include "res/SwitchDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"
#include "switch/PortStatusDlg.h"
#include "switch/SwitchDlg.h"

using namespace drive;

namespace {

const char* const kReadCommunity = "582019374620";
const char* const kReceived = "Trellim status received!";
const char* const kImplausible
    = "Data received from Trellim seems not to be correct.\nPlease, check data cable between IP module and Trellim";

std::string PortObjects(const std::string& extra)
{
    std::string objects;
    for (int n = 0; n < 256; ++n)
        objects += (n ? "," : "") + std::string("\".1.4.3.") + std::to_string(n) + ".0\": {\"value\": 0}";
    return "{\"objects\": {" + objects + extra + "}}";
}

std::unique_ptr<CPortStatusDlg> OpenStatusWindow(const SimModule& sim)
{
    sim.Use();
    auto window = std::make_unique<CPortStatusDlg>(SubWindowArgs {sim.Address(), QString(), kReadCommunity});
    window->Create();
    return window;
}

// Row of port p as "LSDRTO q" (a letter for each checked indicator, '-' else).
QString Row(const CPortStatusDlg& window, int port)
{
    const char letters[] = "LSDRTO";
    QString row;
    for (int column = 0; column < kColQuality; ++column)
        row += Checked(window, StatusControl(port, column)) ? QChar(letters[column]) : QChar('-');
    return row + " " + Text(window, StatusControl(port, kColQuality));
}

}  // namespace

class TestWinPortStatus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    void readsTheThreeRegistersOfEachPortInOrder()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenStatusWindow(sim);
        QStringList expected, got;
        for (int p = 0; p < 8; ++p)
            for (int reg : {0, 1, 23})
                expected << QString::fromStdString("get " + Oid::PortRegister(p, reg) + " " + kReadCommunity);
        for (const JournalEntry& entry : sim.Journal())
            got << QString::fromStdString(entry.op + " " + entry.oid + " " + entry.community);
        QCOMPARE(got, expected);
        QCOMPARE(Status(*window), QString(kReceived));
        QCOMPARE(window->windowTitle(), QString("Trellim Port Status"));
        QVERIFY(!Enabled(*window, StatusControl(3, kColLink)));
        QVERIFY(ui.Boxes().empty());
    }

    void decoding_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("reg0");
        QTest::addColumn<int>("reg1");
        QTest::addColumn<int>("reg23");
        QTest::addColumn<QString>("row");
        QTest::newRow("port 2 up") << 2 << 0x2100 << 0x0004 << 0x0C50 << "LSDRT- 5";
        QTest::newRow("above 16 bits") << 1 << 0x12100 << 0x10004 << 0x100F0 << "LSD--- 15";
        QTest::newRow("quality only") << 7 << 0 << 0 << 0x00F0 << "------ 15";
        QTest::newRow("loop, port 0") << 0 << 0 << 0 << 0x0100 << "-----O 0";
        // One indicator bit at a time, so that two swapped indicators show.
        QTest::newRow("link only") << 4 << 0 << 0x0004 << 0 << "L----- 0";
        QTest::newRow("speed only") << 5 << 0x2000 << 0 << 0 << "-S---- 0";
        QTest::newRow("duplex only") << 6 << 0x0100 << 0 << 0 << "--D--- 0";
        QTest::newRow("receiving only") << 1 << 0 << 0 << 0x0400 << "---R-- 0";
        QTest::newRow("sending only") << 3 << 0 << 0 << 0x0800 << "----T- 0";
    }
    void decoding()
    {
        QFETCH(int, port);
        QFETCH(int, reg0);
        QFETCH(int, reg1);
        QFETCH(int, reg23);
        QFETCH(QString, row);
        const auto entry = [](int n, int value) {
            return ",\".1.4.3." + std::to_string(n) + ".0\": {\"value\": " + std::to_string(value) + "}";
        };
        SimModule sim(PortObjects(entry(32 * port, reg0) + entry(32 * port + 1, reg1) + entry(32 * port + 23, reg23)));
        ScriptedUi ui;
        auto window = OpenStatusWindow(sim);
        QCOMPARE(Row(*window, port), row);
        QCOMPARE(Row(*window, port == 3 ? 4 : 3), QString("------ 0"));
        QVERIFY(ui.Boxes().empty());
    }

    void silentSwitchWarnsAfterShowing()
    {
        SimModule sim(PortObjects(""));
        ScriptedUi ui;
        auto window = OpenStatusWindow(sim);
        QCOMPARE(ui.BoxTexts(), QStringList {kImplausible});
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
        QCOMPARE(Status(*window), QString(kReceived));
        for (int p = 0; p < 8; ++p)
            QCOMPARE(Row(*window, p), QString("------ 0"));
    }

    void failedRefreshKeepsTheLastIndicators()
    {
        auto sim = std::make_unique<SimModule>();
        ScriptedUi ui;
        auto window = OpenStatusWindow(*sim);
        const QString before = Row(*window, 0);
        QCOMPARE(before, QString("LSDRT- 5"));
        sim.reset();  // the module stops answering
        Press(*window, IDC_PS_REFRESH);
        QCOMPARE(Status(*window), QString("SNMP Error: Unable to connect to target host! (Error code -2)"));
        QCOMPARE(Row(*window, 0), before);
        QVERIFY(ui.Boxes().empty());
    }

    void mainWindowAndSwitchWindowEachOwnOne()
    {
        SimModule sim;
        ScriptedUi ui;
        auto main = fixture::ReadyWindow(sim);
        Press(*main, IDC_SWITCH_CONFIGURATION);
        auto* settings = qobject_cast<CSwitchDlg*>(main->SubWindowOf(SubWindow::SwitchConfiguration));
        QVERIFY(settings && settings->isVisible());
        Press(*settings, IDC_SW_PORTS_STATUS);
        Press(*main, IDC_SWITCH_STATUS);
        auto* fromMain = qobject_cast<CPortStatusDlg*>(main->SubWindowOf(SubWindow::PortStatus));
        QPointer<CPortStatusDlg> fromSettings = settings->PortStatusWindow();
        QVERIFY(fromMain && fromSettings && fromMain != fromSettings.data());
        QVERIFY(fromMain->isVisible() && fromSettings->isVisible());
        QCOMPARE(Status(*fromMain), QString(kReceived));
        Press(*main, IDC_SWITCH_STATUS);  // replaces only the main window's own
        QVERIFY(!fromSettings.isNull() && fromSettings->isVisible());
        QVERIFY(ui.Boxes().empty());
    }
};

QTEST_MAIN(TestWinPortStatus)
#include "test_win_port_status.moc"
