// The main window frame: start state, the About entry, Enter, the community
// rule on leaving a pass field, opening sub-windows, and the device commands.

#include <QApplication>
#include <QMenu>
#include <QtTest>

#include <memory>

#include "core/MainDlg.h"
#include "res/MainDlgIds.h"
#include "snmp/SnmpRequest.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"

using namespace drive;
using namespace fixture;

namespace {
const std::string kRestartModule = ".1.3.6.1.4.1.19865.1.1.10.0";
const std::string kRestartTarget = ".1.3.6.1.4.1.19865.1.2.4.0";
const std::string kFirmwareUpdate = ".1.3.6.1.4.1.19865.1.1.33.0";

// Closes the next modal window once it is showing; reports its caption.
void CloseNextModal(QString* caption)
{
    QTimer::singleShot(0, [caption] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        *caption = modal->windowTitle();
        modal->close();
    });
}

// A stand-in window that records what it was given.
struct ProbeWindow : CDialog {
    static inline int alive = 0;
    SubWindowArgs args;
    explicit ProbeWindow(const SubWindowArgs& given) : CDialog(Template()), args(given) { ++alive; }
    ~ProbeWindow() override { --alive; }
    static const DialogTemplate& Template()
    {
        static const DialogTemplate tpl {999, "Probe", 100, 50, {}};
        return tpl;
    }
};
}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    void startState()
    {
        CMainDlg window;
        window.Create();
        QCOMPARE(window.windowTitle(), QString("Kalvor Version 2.07"));
        QCOMPARE(Ip(window, IDC_MODULE_ADDRESS), QString("172.16.100.2"));
        QCOMPARE(Text(window, IDC_RW_COMMUNITY), QString("marbled"));
        QCOMPARE(Text(window, IDC_RO_COMMUNITY), QString("582019374620"));
        QCOMPARE(Text(window, IDC_VERSION), QString());
        CSnmpRequest library("", "", 1);
        QCOMPARE(Status(window),
            QString("Kalvor Version 2.07. Supports Ferlox up to ver.4.079. "
                    "Built with net-snmp version %1.")
                .arg(library.GetLibraryVersion()));
        QCOMPARE(Text(window, IDC_VLAN_TAG), QString("1"));
        QCOMPARE(Text(window, IDC_PING_RESTART_MIN), QString("6"));
        QCOMPARE(Text(window, IDC_PING_RESTART_COUNT), QString("256"));
        QCOMPARE(Text(window, IDC_RESTART_PULSE), QString("512"));
        QCOMPARE(Text(window, IDC_PULSE_WIDTH_LABEL), QString("Restart Pulse Width (x42ms)"));
        for (int id : {IDC_SET_IP, IDC_SET_MODES, IDC_CHANGE_RW_PASS, IDC_FIRMWARE_UPDATE, IDC_SWITCH_CONFIGURATION,
                 IDC_SWITCH_STATUS, IDC_MAC_SEARCH, IDC_RS232, IDC_SNMP_TRAPS})
            QVERIFY2(!Enabled(window, id), qPrintable(QString::number(id)));
        for (int id : {IDC_RESTART, IDC_TARGET_RESTART, IDC_IO_PORTS, IDC_READ_SETTINGS})
            QVERIFY(Enabled(window, id));
        for (int id : {IDC_MAC, IDC_MAC_LOCK1, IDC_MAC_LOCK2, IDC_PING_RESTART_MIN, IDC_VLAN_TAG,
                 IDC_PING_RESTART_COUNT, IDC_VERSION, IDC_RESTART_PULSE})
            QVERIFY(ReadOnly(window, id));
        QVERIFY(!ReadOnly(window, IDC_RW_COMMUNITY));
        QVERIFY(!ReadOnly(window, IDC_RO_COMMUNITY));
    }

    void aboutEntryOpensTheAboutBox()
    {
        CMainDlg window;
        window.Create();
        const auto actions = window.SystemMenu()->actions();
        QCOMPARE(actions.size(), 5);
        QVERIFY(actions[0]->isSeparator());
        QCOMPARE(actions[1]->text(), QString("&Find Modules..."));
        QCOMPARE(actions[2]->text(), QString("&Save Module Settings..."));
        QCOMPARE(actions[3]->text(), QString("A&pply Module Settings..."));
        QCOMPARE(actions[4]->text(), QString("&About Kalvor..."));
        QString caption;
        CloseNextModal(&caption);
        actions[4]->trigger();
        QCOMPARE(caption, QString("Kalvor Version 2.07"));
    }

    void enterPressesReadSettings()
    {
        SimModule sim;
        auto window = OpenMainWindow(sim);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->GetDlgItem(IDC_RW_COMMUNITY)->setFocus();
        QTest::keyClick(window->GetDlgItem(IDC_RW_COMMUNITY), Qt::Key_Return);
        QVERIFY(!sim.Journal(".1.3.6.1.4.1.19865.1.1.8.0").empty());
        QCOMPARE(Text(*window, IDC_VERSION), QString("4.073"));
    }

    void leavingACommunityFieldFollowsTheFirmware()
    {
        SimModule old(R"({"firmware": "4.066", "readCommunity": "582019374620", "writeCommunity": "582019374620"})");
        auto window = OpenMainWindow(old);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto leaveRwField = [&] {
            SetText(*window, IDC_RW_COMMUNITY, "abcdefabcdef");
            window->GetDlgItem(IDC_RW_COMMUNITY)->setFocus();
            window->GetDlgItem(IDC_READ_SETTINGS)->setFocus();
        };
        leaveRwField();  // no version read yet: nothing copied
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), QString("582019374620"));

        SetText(*window, IDC_RW_COMMUNITY, "582019374620");
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_VERSION), QString("4.066"));
        leaveRwField();
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), QString("abcdefabcdef"));

        SimModule newer(R"({"firmware": "4.070"})");
        SetText(*window, IDC_RW_COMMUNITY, "marbled");
        SetText(*window, IDC_RO_COMMUNITY, "582019374620");
        newer.Use();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_VERSION), QString("4.070"));
        leaveRwField();
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), QString("582019374620"));
    }

    void launchButtonReplacesItsWindow()
    {
        SimModule sim;
        auto window = OpenMainWindow(sim, {{IDC_IO_PORTS, SubWindow::IoPorts, MakeFactory<ProbeWindow>()}});
        Press(*window, IDC_IO_PORTS);
        QCOMPARE(ProbeWindow::alive, 1);
        SetIp(*window, IDC_MODULE_ADDRESS, "127.0.0.3");
        SetText(*window, IDC_RW_COMMUNITY, "second");
        Press(*window, IDC_IO_PORTS);
        QCOMPARE(ProbeWindow::alive, 1);
        auto* probe = static_cast<ProbeWindow*>(window->SubWindowOf(SubWindow::IoPorts));
        QCOMPARE(probe->args.moduleIp, QString("127.0.0.3"));
        QCOMPARE(probe->args.rwCommunity, QString("second"));
        QCOMPARE(probe->args.roCommunity, QString("582019374620"));
        QVERIFY(probe->isVisible());

        // "Read Settings" closes the open windows once the version is read.
        SetIp(*window, IDC_MODULE_ADDRESS, sim.Address());
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(ProbeWindow::alive, 0);
        QVERIFY(!window->SubWindowOf(SubWindow::IoPorts));
    }

    // After "Restart" the switch buttons follow the same rule as after a read:
    // the switch-control box, except on minors 75 and 79; without a successful
    // read they stay disabled.
    void restartFollowsTheFeatureRule_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<bool>("read");
        QTest::addColumn<bool>("box");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("4.073 read, box ticked") << "4.073" << true << true << true;
        QTest::newRow("4.073 read, box cleared") << "4.073" << true << false << false;
        QTest::newRow("4.075 read, box ticked") << "4.075" << true << true << false;
        QTest::newRow("4.073 never read, box ticked") << "4.073" << false << true << false;
    }

    void restartFollowsTheFeatureRule()
    {
        QFETCH(QString, firmware);
        QFETCH(bool, read);
        QFETCH(bool, box);
        QFETCH(bool, enabled);
        SimModule sim(QString(R"({"firmware": "%1"})").arg(firmware).toStdString());
        ScriptedUi ui;
        auto window = read ? ReadyWindow(sim) : OpenMainWindow(sim);
        SetChecked(*window, IDC_MODE_SWITCH_CONTROL, box);
        Press(*window, IDC_RESTART);
        QCOMPARE(Status(*window), QString("Connection established! Restart command confirmed."));
        for (int id : {IDC_SWITCH_CONFIGURATION, IDC_SWITCH_STATUS, IDC_MAC_SEARCH})
            QCOMPARE(Enabled(*window, id), enabled);
        QVERIFY(Enabled(*window, IDC_IO_PORTS));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(journal[0].oid, kRestartModule);
        QCOMPARE(journal[0].op, std::string("get"));
        QCOMPARE(journal[0].community, std::string("582019374620"));
    }

    void failedRestartKeepsTheButtons()
    {
        SimModule sim(R"({"faults": {".1.1.10.0": {"error": 5}}})");
        auto window = OpenMainWindow(sim);
        SetChecked(*window, IDC_MODE_SWITCH_CONTROL, true);
        Press(*window, IDC_RESTART);
        QCOMPARE(Status(*window), QString(kSnmpError).arg(-1));
        QVERIFY(!Enabled(*window, IDC_SWITCH_CONFIGURATION));
    }

    void targetRestart()
    {
        SimModule sim;
        auto window = OpenMainWindow(sim);
        Press(*window, IDC_TARGET_RESTART);
        QCOMPARE(Status(*window), QString("Connection established! \"Target Restart\" command confirmed."));
        QCOMPARE(sim.Journal().size(), size_t(1));
        QCOMPARE(sim.Journal()[0].oid, kRestartTarget);

        SimModule silent(R"({"faults": {".1.2.4.0": {"silence": true}}})");
        silent.Use();
        SetIp(*window, IDC_MODULE_ADDRESS, silent.Address());
        Press(*window, IDC_TARGET_RESTART);
        QCOMPARE(Status(*window), QString(kSnmpError).arg(-2));
    }

    void firmwareUpdateNeedsTheTftpModeAndConsent()
    {
        SimModule sim(R"({"objects": {".1.1.11.0": {"type": "i", "value": 0}}})");
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        Press(*window, IDC_READ_SETTINGS);
        QVERIFY(Enabled(*window, IDC_FIRMWARE_UPDATE));
        sim.ClearJournal();

        // "TFTP enabled" read as cleared, then checked without "Set Modes".
        SetChecked(*window, IDC_MODE_EXTRA_FIRST, true);
        Press(*window, IDC_FIRMWARE_UPDATE);
        QCOMPARE(ui.BoxTexts(), QStringList {"You must first check and set \"TFTP enabled\" option for this device!"});
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
        QCOMPARE(Status(*window), QString("Command aborted!"));
        QVERIFY(sim.Journal().empty());

        Press(*window, IDC_SET_MODES);
        QCOMPARE(window->ModeWord2() & 8u, 8u);
        sim.ClearJournal();
        ui.ClearBoxes();
        ui.QueueAnswer(IDCANCEL);
        Press(*window, IDC_FIRMWARE_UPDATE);
        QCOMPARE(ui.Boxes().size(), size_t(1));
        QCOMPARE(ui.Boxes()[0].text,
            QString("WARNING: You are going to start firmware update from remote TFTP Server.\n"
                    "Power failure during update can permanently damage device!\n\n"
                    "Are you sure?"));
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OKCANCEL | MB_ICONEXCLAMATION));
        QCOMPARE(Status(*window), QString("Command aborted!"));
        QVERIFY(sim.Journal().empty());

        ui.QueueAnswer(IDOK);
        Press(*window, IDC_FIRMWARE_UPDATE);
        QCOMPARE(Status(*window), QString("Connection established! Firmware Update process started."));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(journal[0].oid, kFirmwareUpdate);
        QCOMPARE(journal[0].op, std::string("get"));
        QCOMPARE(journal[0].community, std::string("582019374620"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_win_main_window.moc"
