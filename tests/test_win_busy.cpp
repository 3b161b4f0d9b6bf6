// Windows while they wait for the module: the Cancel button and the waiting
// text, what each kind of cancel shows and sends, input to other windows
// ignored, and a busy window never destroyed under its own handler.

#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "base/Pause.h"
#include "platform/Busy.h"
#include "platform/ReportList.h"
#include "res/MacTableDlgIds.h"
#include "res/SwitchDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "switch/MacTableDlg.h"
#include "switch/SwitchDlg.h"

using namespace drive;

namespace {

const char* const kCancelledRead = "Cancelled: nothing was read.";
const char* const kWaiting = "Waiting for 127.0.0.1 ... (Cancel to stop)";

QPushButton* CancelButton(const QWidget& window) { return window.findChild<QPushButton*>("cancelExchange"); }

// Runs `action` `ms` after the next exchange starts waiting.
void After(int ms, std::function<void()> action) { QTimer::singleShot(ms, std::move(action)); }

void Spin(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

int Requests(const SimModule& sim, const std::string& oid) { return int(sim.Journal(oid).size()); }

// A window whose button 1 runs a handler given by the test.
struct ProbeWindow : CDialog {
    static inline std::function<void()> handler;
    static inline int alive = 0;
    explicit ProbeWindow(const SubWindowArgs&) : CDialog(Template())
    {
        ++alive;
        OnCommand(1, [] { handler(); });
    }
    ~ProbeWindow() override { --alive; }
    static const DialogTemplate& Template()
    {
        static const DialogTemplate tpl {998, "Probe", 100, 50, {{1, ControlKind::PushButton, "Run", 4, 4, 40, 14}}};
        return tpl;
    }
};

}  // namespace

class TestWindowsBusy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }
    void cleanup() { TestEnvironment::Reset(); }

    // A slow module: after a second the status line says whom it waits for,
    // the Cancel button shows; its press ends the read mid-time-out, nothing
    // more is sent, no field changes, and the button goes.
    void cancelButtonStopsAReadMidTimeOut()
    {
        SimModule sim(R"({"faults": {".1.1.3.0": {"silence": true}}})");
        auto window = fixture::OpenMainWindow(sim);
        window->show();
        CSnmpRequest::SetTimeoutOverride(3000000);
        const QString vlanBefore = Text(*window, IDC_VLAN_TAG);
        QString statusWhileWaiting;
        bool buttonShown = false;
        QElapsedTimer clock;
        qint64 pressedAt = 0;
        After(1800, [&] {
            statusWhileWaiting = Status(*window);
            buttonShown = CancelButton(*window)->isVisible();
            pressedAt = clock.elapsed();
            QTest::mouseClick(CancelButton(*window), Qt::LeftButton);
        });
        clock.start();
        Press(*window, IDC_READ_SETTINGS);
        QVERIFY(clock.elapsed() - pressedAt <= 100);
        QCOMPARE(statusWhileWaiting, QString(kWaiting));
        QVERIFY(buttonShown);
        QVERIFY(!CancelButton(*window)->isVisible());
        QCOMPARE(Status(*window), QString(kCancelledRead));
        QCOMPARE(Text(*window, IDC_VLAN_TAG), vlanBefore);
        Spin(300);
        QCOMPARE(Requests(sim, fixture::kPrefix + ".1.1.3.0"), 1);
        QCOMPARE(QString::fromStdString(sim.Journal().back().oid), QString::fromStdString(fixture::kPrefix + ".1.1.3.0"));
    }

    // Escape and the close box of the busy window cancel; the window stays.
    void escapeAndCloseBoxCancel_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Escape") << false;
        QTest::newRow("close box") << true;
    }
    void escapeAndCloseBoxCancel()
    {
        QFETCH(bool, closeBox);
        SimModule sim(R"({"faults": {".1.1.8.0": {"silence": true}}})");
        auto window = fixture::OpenMainWindow(sim);
        window->show();
        CSnmpRequest::SetTimeoutOverride(3000000);
        After(300, [&] {
            if (closeBox)
                window->close();
            else
                QTest::keyClick(window->GetDlgItem(IDC_VLAN_TAG), Qt::Key_Escape);
        });
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString(kCancelledRead));
        QCOMPARE(Text(*window, IDC_VERSION), QString());
        QVERIFY(window->isVisible());
    }

    // Clicks, keys and the close box of another window while one waits do
    // nothing there.
    void inputToAnotherWindowDoesNothing()
    {
        SimModule sim(R"({"faults": {".1.1.8.0": {"silence": true}}})");
        auto busy = fixture::OpenMainWindow(sim);
        auto other = fixture::OpenMainWindow(sim);
        busy->show();
        other->show();
        CSnmpRequest::SetTimeoutOverride(3000000);
        const QString otherStatus = Status(*other);
        After(300, [&] {
            QTest::mouseClick(other->GetDlgItem(IDC_READ_SETTINGS), Qt::LeftButton);
            QTest::keyClick(other->GetDlgItem(IDC_VLAN_TAG), Qt::Key_5);
            other->close();
            CBusy::Cancel();
        });
        Press(*busy, IDC_READ_SETTINGS);
        QCOMPARE(Status(*other), otherStatus);
        QCOMPARE(Requests(sim, fixture::kPrefix + ".1.1.8.0"), 1);
        QVERIFY(!Text(*other, IDC_VLAN_TAG).endsWith('5'));
        QVERIFY(other->isVisible());
    }

    // "Read Settings" run from inside a sub-window's handler closes the other
    // sub-windows but not the one whose handler runs.
    void readSettingsKeepsABusySubWindow()
    {
        SimModule sim;
        auto window = fixture::OpenMainWindow(
            sim, {{IDC_IO_PORTS, SubWindow::IoPorts, MakeFactory<ProbeWindow>()}});
        Press(*window, IDC_READ_SETTINGS);
        Press(*window, IDC_IO_PORTS);
        QCOMPARE(ProbeWindow::alive, 1);
        CDialog* probe = window->SubWindowOf(SubWindow::IoPorts);
        bool aliveInside = false;
        ProbeWindow::handler = [&] {
            Press(*window, IDC_READ_SETTINGS);
            aliveInside = ProbeWindow::alive == 1 && window->SubWindowOf(SubWindow::IoPorts) == probe;
        };
        Press(*probe, 1);
        QVERIFY(aliveInside);
        QCOMPARE(Status(*window), QString(fixture::kDataReceived));
        Press(*window, IDC_READ_SETTINGS);  // idle now: closed as usual
        QCOMPARE(ProbeWindow::alive, 0);
    }

    // A cancelled upload says how far it got and sends the same registers
    // again at the next press; a cancel in the wait before the confirmation
    // sends no confirmation and says so.
    void switchUploadCancels()
    {
        SimModule sim(R"({"objects": {".1.4.2.13.0": {"value": 0}},
                          "faults": {".1.4.2.5.0": {"silence": true, "on": "set", "times": 1}}})");
        ScriptedUi ui;
        sim.Use();
        CSwitchDlg window(SubWindowArgs {sim.Address(), fixture::kWriteCommunity, fixture::kReadCommunity});
        window.Create();
        window.show();
        SetText(window, IDC_SW_DIFFSERV_A, "10");
        SetChecked(window, IDC_SW_FAST_AGING, true);
        sim.ClearJournal();
        CSnmpRequest::SetTimeoutOverride(3000000);
        After(500, [] { CBusy::Cancel(); });
        Press(window, IDC_SW_SAVE);
        QCOMPARE(Status(window), QString("Cancelled: 1 of 2 values were written."));
        QVERIFY(sim.Journal(Oid::kRestartSwitch).empty());

        sim.ClearJournal();
        SetSleepHook([](unsigned ms) {
            if (ms > 150)
                CBusy::Cancel();  // in the wait before the confirmation
        });
        Press(window, IDC_SW_SAVE);
        QCOMPARE(Status(window), QString("Cancelled: the switch was restarted but its configuration was not confirmed."));
        QCOMPARE(Requests(sim, fixture::kPrefix + ".1.4.2.0.0"), 1);
        QCOMPARE(Requests(sim, fixture::kPrefix + ".1.4.2.5.0"), 1);
        QCOMPARE(Requests(sim, Oid::kRestartSwitch), 1);
        QCOMPARE(Requests(sim, Oid::kConfirmSwitch), 0);
    }

    // "List Entire Table" reads "Stop" during the walk and stops it: the rows
    // found stay, the bar goes, nothing more is sent.
    void macWalkStopsAtItsButton()
    {
        SimModule sim(R"({"macTable": [
            {"index": 3, "mac": "00-1A-2B-3C-4D-03", "port": 1, "age": 2},
            {"index": 5, "mac": "00-1A-2B-3C-4D-05", "port": 2, "age": 2},
            {"index": 900, "mac": "00-1A-2B-3C-4D-FF", "port": 3, "age": 2}]})");
        ScriptedUi ui;
        sim.Use();
        CMacTableDlg window(SubWindowArgs {sim.Address(), fixture::kWriteCommunity, fixture::kReadCommunity});
        window.Create();
        window.show();
        auto* button = window.Item<QAbstractButton>(IDC_MAC_LIST_TABLE);
        const QString caption = button->text();
        auto* list = window.Item<CReportList>(IDC_MAC_RESULTS);
        QString captionDuringWalk;
        QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, [&] {
            if (list->GetItemCount() == 2) {
                captionDuringWalk = button->text();
                QTimer::singleShot(0, [button] { QTest::mouseClick(button, Qt::LeftButton); });
            }
        });
        Press(window, IDC_MAC_LIST_TABLE);
        QCOMPARE(captionDuringWalk, QString("Stop"));
        const QRegularExpressionMatch match
            = QRegularExpression("^Walk stopped: 2 entries found up to index (\\d+)\\.$").match(Status(window));
        QVERIFY2(match.hasMatch(), qPrintable(Status(window)));
        QVERIFY(match.captured(1).toInt() >= 5 && match.captured(1).toInt() < 900);
        QCOMPARE(list->GetItemCount(), 2);
        QCOMPARE(button->text(), caption);
        QVERIFY(!window.findChild<QProgressBar*>(QString::number(IDC_MAC_WALK_PROGRESS)));
        Spin(200);  // the request that was on its way when the walk stopped reaches the journal
        const size_t sent = sim.Journal().size();
        Spin(1200);  // longer than a time-out: no re-send either
        QCOMPARE(sim.Journal().size(), sent);
    }
};

QTEST_MAIN(TestWindowsBusy)
#include "test_win_busy.moc"
