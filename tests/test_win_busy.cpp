// Windows while they wait for the module: the Cancel button and the waiting
// text, what each kind of cancel (button, keys, close box, Stop) shows and
// sends, input to other windows ignored, and a busy window never destroyed
// under its own handler.

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "base/Pause.h"
#include "platform/Busy.h"
#include "platform/ReportList.h"
#include "res/MacTableDlgIds.h"
#include "res/SwitchDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/WhenWaitStarts.h"
#include "switch/MacTableDlg.h"
#include "switch/SwitchDlg.h"

using namespace drive;

namespace {

const char* const kCancelledRead = "Cancelled: nothing was read.";
const char* const kWaiting = "Waiting for 127.0.0.1 ... (Cancel to stop)";
constexpr long kLongTimeOutMs = 20000;  // never reached: every test cancels long before

QPushButton* CancelButton(const QWidget& window) { return window.findChild<QPushButton*>("cancelExchange"); }

int Requests(const SimModule& sim, const std::string& oid) { return int(sim.Journal(oid).size()); }

// Runs `action` (once) as soon as the module has received a request for `oid`.
class WhenSent : public QTimer {
public:
    WhenSent(const SimModule& sim, std::string oid, std::function<void()> action)
    {
        connect(this, &QTimer::timeout, [this, &sim, oid, action] {
            if (Requests(sim, oid) == 0)
                return;
            stop();
            action();
        });
        start(20);
    }
};

// The journal once all that was sent has reached it: a read sent now is
// journaled after everything sent before it, and left out.
std::vector<JournalEntry> SettledJournal(const SimModule& sim)
{
    const std::string marker = fixture::kPrefix + ".1.1.13.0";
    sim.Use();
    CSnmpRequest read(sim.Address().toLatin1().constData(), fixture::kReadCommunity, 1);
    read.AddVar(marker, "", 0);
    std::vector<JournalEntry> journal;
    if (read.Get() != CSnmpRequest::kOk)
        return journal;
    journal = sim.Journal();
    if (!journal.empty() && journal.back().oid == marker)
        journal.pop_back();
    return journal;
}

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

    // A silent module: the Cancel button shows 400 ms into the wait (hidden
    // at 200, shown at 800: timers started with the wait, so they run in that
    // order however loaded the machine); after a second without an answer
    // the status line says whom it waits for. Pressing Cancel then ends the
    // read mid-time-out: nothing more is sent, no field changes, the button
    // goes.
    void cancelButtonStopsAReadMidTimeOut()
    {
        SimModule sim(R"({"faults": {".1.1.3.0": {"silence": true}}})");
        auto window = fixture::OpenMainWindow(sim);
        window->show();
        CSnmpRequest::SetTimeoutOverride(kLongTimeOutMs * 1000);
        const QString vlanBefore = Text(*window, IDC_VLAN_TAG);
        std::map<int, bool> shownAt;  // ms into the wait: the button visible
        const WhenWaitStarts waiting(*window, [&] {
            for (int ms : {200, 800})
                QTimer::singleShot(ms, window.get(), [&, ms] { shownAt[ms] = CancelButton(*window)->isVisible(); });
        });
        QString statusWhileWaiting;
        QElapsedTimer sincePress;
        QObject context;
        QObject::connect(&CBusy::Instance(), &CBusy::waitingFor, &context, [&](QWidget*, const QString& host) {
            if (host.isEmpty() || sincePress.isValid())
                return;
            statusWhileWaiting = Status(*window);
            sincePress.start();
            QTest::mouseClick(CancelButton(*window), Qt::LeftButton);
        });
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(shownAt, (std::map<int, bool> {{200, false}, {800, true}}));
        QCOMPARE(statusWhileWaiting, QString(kWaiting));
        QVERIFY(sincePress.isValid());
        QVERIFY2(sincePress.elapsed() < kLongTimeOutMs / 2, "the read waited for its time-out");
        QVERIFY(!CancelButton(*window)->isVisible());
        QCOMPARE(Status(*window), QString(kCancelledRead));
        QCOMPARE(Text(*window, IDC_VLAN_TAG), vlanBefore);
        const std::vector<JournalEntry> journal = SettledJournal(sim);
        QVERIFY(!journal.empty());
        QCOMPARE(QString::fromStdString(journal.back().oid), QString::fromStdString(fixture::kPrefix + ".1.1.3.0"));
        QCOMPARE(Requests(sim, fixture::kPrefix + ".1.1.3.0"), 1);
    }

    // Keys while the MAC walk waits for a silent module, its Cancel button
    // showing, another MAC window open beside it. Escape anywhere in the busy
    // window cancels, and so do Space and Enter on Stop or Cancel; Tab and
    // Shift+Tab move between those two; other keys there, and every key in
    // the other window, do nothing. Nothing is sent after the cancel.
    void keysDuringAWait_data()
    {
        QTest::addColumn<QString>("target");  // the control that has the focus when the keys come
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<bool>("cancels");
        QTest::addColumn<QString>("focusAfter");  // where the focus is then ("": where it was)
        const int esc = Qt::Key_Escape;
        const int space = Qt::Key_Space;
        const int tab = Qt::Key_Tab;
        QTest::newRow("Escape on Stop") << "stop" << QList<int> {esc} << true << "";
        QTest::newRow("Escape on Cancel") << "cancel" << QList<int> {esc} << true << "";
        QTest::newRow("Escape in a field") << "field" << QList<int> {esc} << true << "";
        QTest::newRow("Space on Stop") << "stop" << QList<int> {space} << true << "";
        QTest::newRow("Return on Stop") << "stop" << QList<int> {Qt::Key_Return} << true << "";
        QTest::newRow("Space on Cancel") << "cancel" << QList<int> {space} << true << "";
        QTest::newRow("Enter on Cancel") << "cancel" << QList<int> {Qt::Key_Enter} << true << "";
        QTest::newRow("Space in a field") << "field" << QList<int> {space} << false << "";
        QTest::newRow("Return in a field") << "field" << QList<int> {Qt::Key_Return} << false << "";
        QTest::newRow("Tab from a field") << "field" << QList<int> {tab} << false << "stop";
        QTest::newRow("Tab from Stop, Space") << "stop" << QList<int> {tab, space} << true << "cancel";
        QTest::newRow("Tab from Cancel") << "cancel" << QList<int> {tab} << false << "stop";
        QTest::newRow("Shift+Tab from Stop") << "stop" << QList<int> {Qt::Key_Backtab} << false << "cancel";
        QTest::newRow("Escape in the other window") << "other field" << QList<int> {esc} << false << "";
        QTest::newRow("Return in the other window") << "other field" << QList<int> {Qt::Key_Return} << false << "";
        QTest::newRow("Space on the other Stop") << "other stop" << QList<int> {space} << false << "";
    }
    void keysDuringAWait()
    {
        QFETCH(QString, target);
        QFETCH(QList<int>, keys);
        QFETCH(bool, cancels);
        QFETCH(QString, focusAfter);
        SimModule sim("{\"faults\": {\"" + std::string(Oid::kMacTableWord56) + "\": {\"silence\": true}}}");
        ScriptedUi ui;
        sim.Use();
        const SubWindowArgs args {sim.Address(), fixture::kWriteCommunity, fixture::kReadCommunity};
        CMacTableDlg busy(args);
        CMacTableDlg other(args);
        for (CMacTableDlg* window : {&busy, &other}) {
            window->Create();
            window->show();
        }
        CSnmpRequest::SetTimeoutOverride(kLongTimeOutMs * 1000);
        const std::map<QString, QWidget*> controls {{"stop", busy.GetDlgItem(IDC_MAC_LIST_TABLE)},
            {"cancel", CancelButton(busy)}, {"field", busy.GetDlgItem(IDC_MAC_SEARCH_TEXT)},
            {"other field", other.GetDlgItem(IDC_MAC_SEARCH_TEXT)},
            {"other stop", other.GetDlgItem(IDC_MAC_LIST_TABLE)}};
        QWidget* const focused = controls.at(target);
        const QString fieldText = Text(busy, IDC_MAC_SEARCH_TEXT);
        const QString otherStatus = Status(other);
        bool cancelledByKeys = false;
        QWidget* focusAfterKeys = nullptr;
        QObject context;
        QObject::connect(&CBusy::Instance(), &CBusy::cancelShown, &context, [&](QWidget* window, bool shown) {
            if (window != &busy || !shown)
                return;
            focused->setFocus();
            for (int key : keys) {
                const auto modifier = key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
                QTest::keyClick(focused->window()->focusWidget(), Qt::Key(key), modifier);
            }
            cancelledByKeys = CBusy::Cancelled();
            focusAfterKeys = focused->window()->focusWidget();
            CBusy::Cancel();  // ends the walk of the rows that do not cancel
        });
        Press(busy, IDC_MAC_LIST_TABLE);
        QCOMPARE(cancelledByKeys, cancels);
        QCOMPARE(focusAfterKeys, focusAfter.isEmpty() ? focused : controls.at(focusAfter));
        QCOMPARE(Status(busy), QString("Walk stopped: 0 entries found up to index 0."));
        QCOMPARE(Text(busy, IDC_MAC_SEARCH_TEXT), fieldText);
        QCOMPARE(Status(other), otherStatus);
        QCOMPARE(ui.Boxes().size(), size_t(1));  // the busy window's question only
        const std::vector<JournalEntry> journal = SettledJournal(sim);
        QCOMPARE(journal.size(), size_t(1));  // the selection of entry 0, never answered
        QCOMPARE(journal[0].oid, std::string(Oid::kMacTableWord56));
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
        CSnmpRequest::SetTimeoutOverride(kLongTimeOutMs * 1000);
        const WhenSent cancel(sim, fixture::kPrefix + ".1.1.8.0", [&] {
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
        CSnmpRequest::SetTimeoutOverride(kLongTimeOutMs * 1000);
        const QString otherStatus = Status(*other);
        const WhenSent input(sim, fixture::kPrefix + ".1.1.8.0", [&] {
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

    // A cancel handled in the same pass of the event loop as the end of the
    // pause before a batch: the batch sends nothing and reports the cancel.
    void cancelAtTheEndOfThePauseSendsNothing_data()
    {
        QTest::addColumn<bool>("set");
        QTest::newRow("Get") << false;
        QTest::newRow("Set") << true;
    }
    void cancelAtTheEndOfThePauseSendsNothing()
    {
        QFETCH(bool, set);
        SimModule sim;
        auto window = fixture::OpenMainWindow(
            sim, {{IDC_IO_PORTS, SubWindow::IoPorts, MakeFactory<ProbeWindow>()}});
        Press(*window, IDC_IO_PORTS);
        CDialog* probe = window->SubWindowOf(SubWindow::IoPorts);
        const std::string oid = fixture::kPrefix + ".1.1.13.0";
        int code = 0;
        ProbeWindow::handler = [&] {
            // The test's pauses end at once: both are posted, the cancel first.
            QTimer::singleShot(0, [] { CBusy::Cancel(); });
            CSnmpRequest request(sim.Address().toLatin1().constData(), fixture::kWriteCommunity, 1);
            request.AddVar(oid, set ? "1" : "", set ? 'i' : 0);
            code = set ? request.Set() : request.Get();
        };
        sim.ClearJournal();
        Press(*probe, 1);
        QCOMPARE(code, int(CSnmpRequest::kCancelled));
        const std::vector<JournalEntry> journal = SettledJournal(sim);
        QVERIFY2(journal.empty(), journal.empty() ? "" : journal.front().op.c_str());
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
        CSnmpRequest::SetTimeoutOverride(kLongTimeOutMs * 1000);
        const WhenSent cancel(sim, fixture::kPrefix + ".1.4.2.5.0", [] { CBusy::Cancel(); });
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

    // "List Entire Table" reads "Stop" during the walk and stops it: the row
    // found stays ("1 entry"), the bar goes, nothing more is sent.
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
            captionDuringWalk = button->text();
            QTimer::singleShot(0, [button] { QTest::mouseClick(button, Qt::LeftButton); });
        });
        Press(window, IDC_MAC_LIST_TABLE);
        QCOMPARE(captionDuringWalk, QString("Stop"));
        const QRegularExpressionMatch match
            = QRegularExpression("^Walk stopped: 1 entry found up to index (\\d+)\\.$").match(Status(window));
        QVERIFY2(match.hasMatch(), qPrintable(Status(window)));
        const int stoppedAt = match.captured(1).toInt();
        QVERIFY(stoppedAt > 3 && stoppedAt <= 5);
        QCOMPARE(list->GetItemCount(), 1);
        QCOMPARE(button->text(), caption);
        QVERIFY(!window.findChild<QProgressBar*>(QString::number(IDC_MAC_WALK_PROGRESS)));
        // Every entry up to the one it stopped at selected once at most, none after.
        const std::vector<JournalEntry> journal = SettledJournal(sim);
        const auto selections = std::count_if(journal.begin(), journal.end(),
            [](const JournalEntry& entry) { return entry.op == "set" && entry.oid == Oid::kMacTableWord56; });
        QVERIFY2(selections == stoppedAt || selections == stoppedAt + 1,
            qPrintable(QString("%1 selections, stopped at %2").arg(selections).arg(stoppedAt)));
    }
};

QTEST_MAIN(TestWindowsBusy)
#include "test_win_busy.moc"
