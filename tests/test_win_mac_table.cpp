// The MAC table window against a simulated switch: reading the searched
// address in its three styles, the words written and read, the status word's
// validity rule, the walk over the whole table (its exchanges, pauses,
// progress bar and row order, a failure halfway), Clear and Copy, refused
// search texts, and the simulated table's own state file checks.

#include <QApplication>
#include <QProgressBar>
#include <QTimer>
#include <QCheckBox>
#include <QStyleOptionButton>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ReportList.h"
#include "res/MacTableDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"
#include "switch/MacTableDlg.h"
#include "switch/MacTableText.h"

using namespace drive;

namespace {

const char* const kWrite = "marbled";
const char* const kRead = "582019374620";
const char* const kFound = "MAC address found!";
const char* const kNotFound = "Unable to find MAC address in switch's MAC table.";
const char* const kBadMac = "ERROR in MAC address. Enter six hexadecimal bytes, e.g. 00-1A-2B-3C-4D-5E";
const char* const kDownloading = "Downloading entire MAC table ... please, be patient!";
const char* const kComplete = "Downloading complete.";
const char* const kQuestion = "This command can take long time to complete!\r\nAre you sure?";
const QString kHeader = QStringLiteral("MAC table for host: 127.0.0.1\r\n=========================\r\n"
                                       "MAC\tPort\tAge\r\n=========================\r\n");

// One address at table index 7, port 3, age 2; the state file can add more.
const char* const kOneEntry = R"({"macTable": [{"index": 7, "mac": "00-1A-2B-3C-4D-5E", "port": 3, "age": 2}]})";

std::unique_ptr<CMacTableDlg> OpenWindow(const SimModule& sim)
{
    sim.Use();
    auto window = std::make_unique<CMacTableDlg>(SubWindowArgs {sim.Address(), kWrite, kRead});
    window->Create();
    return window;
}

CReportList& List(const CMacTableDlg& window) { return *window.Item<CReportList>(IDC_MAC_RESULTS); }

QStringList Row(const CMacTableDlg& window, int row)
{
    const CReportList& list = List(window);
    return {list.GetItemText(row, 0), list.GetItemText(row, 1), list.GetItemText(row, 2)};
}

// "set .242 = 24141" style lines of the journal, for order checks.
QStringList Exchanges(const std::vector<JournalEntry>& journal)
{
    QStringList lines;
    for (const JournalEntry& entry : journal) {
        QString line = QString::fromStdString(entry.op + " " + entry.oid.substr(std::string(Oid::kEnterprise).size()));
        if (entry.op == "set")
            line += " = " + QString::fromStdString(entry.value);
        lines << line;
    }
    return lines;
}

// Watches a walk from inside it: the bar's position at each step, whether it
// was painted by then, and whether a queued event ran meanwhile (it must:
// the walk waits for the module in the event loop).
struct WalkWatcher : QObject {
    QVector<int> positions;
    int paints = 0;
    int paintsAtStart = -1;
    int paintsAtMiddle = -1;
    bool queuedEventRan = false;
    bool queuedRanDuringWalk = false;
    QRect barGeometry;
    QString statusDuringWalk;
    CMacTableDlg* window = nullptr;
    std::function<void(int)> atPosition;

    explicit WalkWatcher(CMacTableDlg* watched) : window(watched)
    {
        watched->Page()->installEventFilter(this);
        QTimer::singleShot(0, this, [this] { queuedEventRan = true; });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window->Page() && event->type() == QEvent::ChildPolished) {
            auto* bar = qobject_cast<QProgressBar*>(static_cast<QChildEvent*>(event)->child());
            if (bar && bar->objectName() == QString::number(IDC_MAC_WALK_PROGRESS)) {
                barGeometry = bar->geometry();
                bar->installEventFilter(this);
                connect(bar, &QProgressBar::valueChanged, this, [this, bar](int value) { Step(bar, value); });
            }
        } else if (event->type() == QEvent::Paint && qobject_cast<QProgressBar*>(watched)) {
            ++paints;
        }
        return false;
    }

    void Step(QProgressBar* bar, int value)
    {
        QCOMPARE(bar->maximum(), kMacTableEntries);
        positions << value;
        queuedRanDuringWalk = queuedRanDuringWalk || queuedEventRan;
        if (value == 1)
            paintsAtStart = paints;
        if (value == kMacTableEntries / 2) {
            paintsAtMiddle = paints;
            statusDuringWalk = Status(*window);
        }
        if (atPosition)
            atPosition(value);
    }
};

// Every button and check box caption fits its control.
void CheckCaptionsFit(const CDialog& window)
{
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const auto element = qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
        const int room = button->style()->subElementRect(element, &option, button).width();
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) <= room,
            qPrintable(button->objectName() + " \"" + button->text() + "\" is cut"));
    }
}

QVector<int> Range(int from, int to)
{
    QVector<int> values;
    for (int i = from; i < to; ++i)
        values << i;
    return values;
}

}  // namespace

class TestMacTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // ---- The searched address, the words and the status word -----------------

    void searchTextAndWords_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QList<int>>("words");  // 244, 243, 242
        QTest::addColumn<QString>("printed");  // the same words printed in the typed style

        QTest::newRow("dashes") << "00-1A-2B-3C-4D-5E" << true << QList<int> {6656, 15403, 24141}
                                << "00-1A-2B-3C-4D-5E";
        QTest::newRow("colons, lower case") << "00:1a:2b:3c:4d:5e" << true << QList<int> {6656, 15403, 24141}
                                            << "00:1A:2B:3C:4D:5E";
        QTest::newRow("blanks") << "001A 2B3C 4D5E" << true << QList<int> {6656, 15403, 24141} << "001A2B3C4D5E";
        QTest::newRow("mixed: dashes win") << "00-1A:2B-3C:4D 5E" << true << QList<int> {6656, 15403, 24141}
                                           << "00-1A-2B-3C-4D-5E";
        QTest::newRow("start text") << "001122334455" << true << QList<int> {0x1100, 0x3322, 0x5544}
                                    << "001122334455";
        QTest::newRow("all ones") << "FF-FF-FF-FF-FF-FF" << true << QList<int> {65535, 65535, 65535}
                                  << "FF-FF-FF-FF-FF-FF";
        QTest::newRow("empty") << "" << false << QList<int>() << "";
        QTest::newRow("11 digits") << "00112233445" << false << QList<int>() << "";
        QTest::newRow("13 digits") << "0011223344556" << false << QList<int>() << "";
        QTest::newRow("not hex") << "00112233445G" << false << QList<int>() << "";
        QTest::newRow("dots") << "00.1A.2B.3C.4D.5E" << false << QList<int>() << "";
        QTest::newRow("sign") << "+01122334455" << false << QList<int>() << "";
        QTest::newRow("very long") << QString(5000, QLatin1Char('A')) << false << QList<int>() << "";
        QTest::newRow("beyond Latin-1") << QString::fromUtf8("00112233445\u0660") << false << QList<int>() << "";
    }

    void searchTextAndWords()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QList<int>, words);
        QFETCH(QString, printed);
        const std::optional<MacSearchKey> key = ParseMacSearch(typed);
        QCOMPARE(key.has_value(), accepted);
        if (!accepted)
            return;
        const MacWords w = WordsOfMac(key->bytes);
        QCOMPARE((QList<int> {w.w244, w.w243, w.w242}), words);
        QCOMPARE(FormatMacWords(w, key->style), printed);
    }

    void statusWordAndIndex_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("age");
        QTest::newRow("0x23 age 2 port 3") << 0x23 << true << 3 << 2;
        QTest::newRow("0x0F") << 0x0F << false << 7 << 0;
        QTest::newRow("0x2F") << 0x2F << false << 7 << 2;
        QTest::newRow("0x4F") << 0x4F << true << 7 << 0;
        QTest::newRow("0x00 age 0") << 0x00 << false << 0 << 0;
        QTest::newRow("0x10") << 0x10 << true << 0 << 1;
        QTest::newRow("0x37") << 0x37 << true << 7 << 3;
        QTest::newRow("0x3F") << 0x3F << false << 7 << 3;
        QTest::newRow("0x40") << 0x40 << true << 0 << 0;
    }

    void statusWordAndIndex()
    {
        QFETCH(int, status);
        QFETCH(bool, valid);
        QFETCH(int, port);
        QFETCH(int, age);
        QCOMPARE(IsValidMacEntry(status), valid);
        QCOMPARE(EntryPort(status), port);
        QCOMPARE(EntryAge(status), age);
        const std::pair<int, int> indexes[] = {{0, 0}, {3, 3}, {4, 256}, {5, 257}, {900, 57600}, {1023, 65283}};
        for (const auto& [entry, word] : indexes)
            QCOMPARE(WalkIndexWord(entry), word);
    }

    // ---- Search -------------------------------------------------------------------

    void searchWritesThenReads_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("dashes") << "00-1A-2B-3C-4D-5E"
                                << "00-1A-2B-3C-4D-5E";
        QTest::newRow("colons, lower case") << "00:1a:2b:3c:4d:5e"
                                            << "00:1A:2B:3C:4D:5E";
        QTest::newRow("blanks") << "001A 2B3C 4D5E"
                                << "001A2B3C4D5E";
    }

    void searchWritesThenReads()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        SimModule sim(kOneEntry);
        ScriptedUi ui;
        auto window = OpenWindow(sim);
        SetText(*window, IDC_MAC_SEARCH_TEXT, typed);
        TestEnvironment::TakePauses();
        Press(*window, IDC_MAC_SEARCH_BUTTON);

        const auto journal = sim.Journal();
        QCOMPARE(Exchanges(journal),
            QStringList({"set .1.4.3.244.0 = 6656", "set .1.4.3.243.0 = 15403", "set .1.4.3.242.0 = 24141",
                "set .1.4.3.240.0 = 65535", "get .1.4.3.241.0", "get .1.4.3.244.0", "get .1.4.3.243.0",
                "get .1.4.3.242.0"}));
        for (const JournalEntry& entry : journal)
            QCOMPARE(entry.community, std::string(kWrite));
        QCOMPARE(TestEnvironment::TakePauses(), (std::vector<unsigned> {150, 1, 150}));
        QCOMPARE(List(*window).GetItemCount(), 1);
        QCOMPARE(Row(*window, 0), QStringList({shown, "3", "2"}));
        QCOMPARE(Status(*window), QString(kFound));
        QCOMPARE(Text(*window, IDC_MAC_SEARCH_TEXT), typed);
        QVERIFY(ui.Boxes().empty());
    }

    // A found address replaces the list; a miss (or an entry the status word
    // calls invalid) leaves it alone.
    void searchOutcomesFollowTheStatusWord()
    {
        SimModule sim(R"({"macTable": [
            {"index": 7, "mac": "00-1A-2B-3C-4D-5E", "port": 3, "age": 2},
            {"index": 8, "mac": "02-00-00-00-00-2F", "status": 47},
            {"index": 9, "mac": "02-00-00-00-00-4F", "status": 79}]})");
        ScriptedUi ui;
        auto window = OpenWindow(sim);
        struct Step {
            const char* typed;
            const char* status;
            QStringList top;
        };
        const Step steps[] = {
            {"00-1A-2B-3C-4D-5E", kFound, {"00-1A-2B-3C-4D-5E", "3", "2"}},
            {"02-00-00-00-00-2F", kNotFound, {"00-1A-2B-3C-4D-5E", "3", "2"}},  // 0x2F: not valid
            {"66-55-44-33-22-11", kNotFound, {"00-1A-2B-3C-4D-5E", "3", "2"}},  // not in the table: 0x0F
            {"02:00:00:00:00:4f", kFound, {"02:00:00:00:00:4F", "7", "0"}},  // 0x4F: valid
        };
        for (const Step& step : steps) {
            SetText(*window, IDC_MAC_SEARCH_TEXT, step.typed);
            Press(*window, IDC_MAC_SEARCH_BUTTON);
            QCOMPARE(Status(*window), QString(step.status));
            QCOMPARE(List(*window).GetItemCount(), 1);
            QCOMPARE(Row(*window, 0), step.top);
        }
    }

    void badSearchTextSendsNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << "";
        QTest::newRow("11 digits") << "00-1A-2B-3C-4D-5";
        QTest::newRow("13 digits") << "00-1A-2B-3C-4D-5E-6";
        QTest::newRow("not hex") << "00-1A-2B-3C-4D-5G";
        QTest::newRow("other separators") << "00.1A.2B.3C.4D.5E";
        QTest::newRow("very long") << QString(3000, QLatin1Char('0'));
    }

    void badSearchTextSendsNothing()
    {
        QFETCH(QString, typed);
        SimModule sim(kOneEntry);
        ScriptedUi ui;
        auto window = OpenWindow(sim);
        SetText(*window, IDC_MAC_SEARCH_TEXT, "00-1A-2B-3C-4D-5E");
        Press(*window, IDC_MAC_SEARCH_BUTTON);
        sim.ClearJournal();
        TestEnvironment::TakePauses();

        SetText(*window, IDC_MAC_SEARCH_TEXT, typed);
        Press(*window, IDC_MAC_SEARCH_BUTTON);
        QCOMPARE(Status(*window), QString(kBadMac));
        QVERIFY(sim.Journal().empty());
        QVERIFY(TestEnvironment::TakePauses().empty());
        QCOMPARE(Text(*window, IDC_MAC_SEARCH_TEXT), typed);  // left for correction
        QCOMPARE(List(*window).GetItemCount(), 1);
        QVERIFY(ui.Boxes().empty());
    }

    void searchFailureNamesTheCode_data()
    {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("exchanges");  // journal lines up to the failure
        QTest::newRow("start refused") << R"({".1.4.3.240.0": {"error": 5}})" << -1 << 4;
        QTest::newRow("status unanswered") << R"({".1.4.3.241.0": {"silence": true}})" << -2 << 5;
        QTest::newRow("word refused") << R"({".1.4.3.243.0": {"error": 2, "on": "get"}})" << -1 << 7;
    }

    void searchFailureNamesTheCode()
    {
        QFETCH(QString, faults);
        QFETCH(int, code);
        QFETCH(int, exchanges);
        SimModule sim(R"({"macTable": [{"index": 7, "mac": "00-1A-2B-3C-4D-5E", "port": 3, "age": 2}], "faults": )"
            + faults.toStdString() + "}");
        ScriptedUi ui;
        auto window = OpenWindow(sim);
        SetText(*window, IDC_MAC_SEARCH_TEXT, "00-1A-2B-3C-4D-5E");
        Press(*window, IDC_MAC_SEARCH_BUTTON);
        QCOMPARE(Status(*window), QString(fixture::kSnmpError).arg(code));
        QCOMPARE(int(sim.Journal().size()), exchanges);
        QCOMPARE(List(*window).GetItemCount(), 0);
    }

    // ---- The walk -------------------------------------------------------------------

    void walkListsEveryValidEntryLatestFirst()
    {
        SimModule sim(R"({"macTable": [
            {"index": 5, "mac": "00-00-00-00-00-05", "port": 1, "age": 3},
            {"index": 900, "mac": "00-00-00-00-03-84", "port": 6, "age": 1},
            {"index": 901, "mac": "00-00-00-00-03-85", "status": 15}]})");
        ScriptedUi ui;
        auto window = OpenWindow(sim);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        AddRowBySearch(*window, sim);  // a row from before the walk goes
        WalkWatcher watcher(window.get());
        TestEnvironment::TakePauses();
        Press(*window, IDC_MAC_LIST_TABLE);

        QCOMPARE(ui.Boxes().size(), size_t(1));
        QCOMPARE(ui.Boxes()[0].text, QString(kQuestion));
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_YESNO | MB_ICONEXCLAMATION));
        QCOMPARE(List(*window).GetItemCount(), 2);
        QCOMPARE(Row(*window, 0), QStringList({"00-00-00-00-03-84", "6", "1"}));
        QCOMPARE(Row(*window, 1), QStringList({"00-00-00-00-00-05", "1", "3"}));
        QCOMPARE(Status(*window), QString(kComplete));
        // Each found address shows whole in its column.
        QCoreApplication::processEvents();
        QVERIFY(List(*window).columnWidth(0) > List(*window).fontMetrics().horizontalAdvance("00-00-00-00-03-84"));

        // The bar: made above the status line, one step per entry, painted as
        // it went, gone at the end; no queued event ran inside the walk.
        QCOMPARE(watcher.positions, Range(1, kMacTableEntries));  // made at 0
        QVERIFY2(watcher.paintsAtMiddle > watcher.paintsAtStart, "the bar was not painted during the walk");
        QVERIFY(watcher.paints > watcher.paintsAtMiddle);
        QCOMPARE(watcher.statusDuringWalk, QString(kDownloading));
        QVERIFY(watcher.queuedRanDuringWalk);  // the event loop turns during the walk;
        const QRect statusLine = window->GetDlgItem(IDC_STATUS)->geometry();
        QVERIFY(watcher.barGeometry.bottom() < statusLine.top());
        QVERIFY(watcher.barGeometry.top() >= List(*window).geometry().bottom());
        QVERIFY(!window->findChild<QProgressBar*>());

        // Per entry a SET pair and the status read, for a valid one the words.
        const auto journal = sim.Journal();
        const auto sets = std::count_if(journal.begin(), journal.end(), [](const JournalEntry& e) { return e.op == "set"; });
        QCOMPARE(int(sets), 2 * kMacTableEntries);
        QCOMPARE(int(journal.size()), 3 * kMacTableEntries + 2 * 3);
        QCOMPARE(Exchanges(std::vector<JournalEntry>(journal.begin() + 3 * 900 + 3, journal.begin() + 3 * 900 + 9)),
            QStringList({"set .1.4.3.242.0 = 57600", "set .1.4.3.240.0 = 65535", "get .1.4.3.241.0",
                "get .1.4.3.244.0", "get .1.4.3.243.0", "get .1.4.3.242.0"}));
        for (const JournalEntry& entry : journal)
            QCOMPARE(entry.community, std::string(kWrite));
        const std::vector<unsigned> pauses = TestEnvironment::TakePauses();
        QCOMPARE(pauses, std::vector<unsigned>(2 * kMacTableEntries + 2, 150));
    }

    void walkAnsweredNoSendsNothing()
    {
        SimModule sim(kOneEntry);
        ScriptedUi ui;
        auto window = OpenWindow(sim);
        AddRowBySearch(*window, sim);
        const QString before = Status(*window);
        ui.QueueAnswer(IDNO);
        Press(*window, IDC_MAC_LIST_TABLE);
        QVERIFY(sim.Journal().empty());
        QVERIFY(TestEnvironment::TakePauses().empty());
        QCOMPARE(List(*window).GetItemCount(), 1);
        QCOMPARE(Status(*window), before);
        QVERIFY(!window->findChild<QProgressBar*>());
    }

    // The module refuses halfway (another one, on the same address and port,
    // that refuses every entry's selection): the rows found stay, the code is
    // shown at once and the bar goes.
    void walkFailingHalfwayKeepsItsRows()
    {
        auto sim = std::make_unique<SimModule>(R"({"macTable": [
            {"index": 5, "mac": "00-00-00-00-00-05", "port": 1, "age": 3},
            {"index": 300, "mac": "00-00-00-00-01-2C", "port": 2, "age": 2},
            {"index": 900, "mac": "00-00-00-00-03-84", "port": 6, "age": 1}]})");
        ScriptedUi ui;
        auto window = OpenWindow(*sim);
        WalkWatcher watcher(window.get());
        watcher.atPosition = [&sim](int position) {
            if (position != 512)
                return;
            const uint16_t port = sim->Port();
            sim.reset();
            sim = std::make_unique<SimModule>(
                std::string("{\"faults\": {\"") + Oid::kMacTableStart + "\": {\"error\": 5}}}", "127.0.0.1", port);
        };
        Press(*window, IDC_MAC_LIST_TABLE);
        QCOMPARE(Status(*window), QString(fixture::kSnmpError).arg(-1));
        // The refused selection of entry 512 was the last request.
        const auto journal = sim->Journal();
        QVERIFY(!journal.empty());
        for (const JournalEntry& entry : journal)
            QCOMPARE(entry.op, std::string("set"));
        QCOMPARE(List(*window).GetItemCount(), 2);
        QCOMPARE(Row(*window, 0), QStringList({"00-00-00-00-01-2C", "2", "2"}));
        QCOMPARE(Row(*window, 1), QStringList({"00-00-00-00-00-05", "1", "3"}));
        QCOMPARE(watcher.positions.last(), 512);
        QVERIFY(!window->findChild<QProgressBar*>());
    }

    // ---- Clear and Copy -------------------------------------------------------------

    void copyAndClear()
    {
        SimModule sim(R"({"macTable": [
            {"index": 7, "mac": "00-1A-2B-3C-4D-5E", "port": 3, "age": 2},
            {"index": 8, "mac": "00-00-00-00-00-08", "port": 0, "age": 1}]})");
        ScriptedUi ui;
        auto window = OpenWindow(sim);
        Press(*window, IDC_MAC_COPY);
        QCOMPARE(ui.clipboard, kHeader);  // empty list: the four header lines

        SetText(*window, IDC_MAC_SEARCH_TEXT, "000000000008");
        Press(*window, IDC_MAC_SEARCH_BUTTON);
        List(*window).InsertItem(QString());  // a second row on top, as a walk adds them
        List(*window).SetItemText(0, 0, "00-1A-2B-3C-4D-5E");
        List(*window).SetItemText(0, 1, "3");
        List(*window).SetItemText(0, 2, "2");
        sim.ClearJournal();
        const QString status = Status(*window);
        Press(*window, IDC_MAC_COPY);
        QCOMPARE(ui.clipboard, kHeader + "00-1A-2B-3C-4D-5E\t3\t2\r\n000000000008\t0\t1\r\n");

        Press(*window, IDC_MAC_CLEAR);
        QCOMPARE(List(*window).GetItemCount(), 0);
        QCOMPARE(Status(*window), status);
        QVERIFY(sim.Journal().empty());
        QVERIFY(ui.Boxes().empty());
    }

    // ---- Opening, and the simulated table's state file -------------------------

    void mainWindowOpensIt()
    {
        SimModule sim;
        ScriptedUi ui;
        auto main = fixture::ReadyWindow(sim);
        Press(*main, IDC_MAC_SEARCH);
        auto* window = qobject_cast<CMacTableDlg*>(main->SubWindowOf(SubWindow::MacTable));
        QVERIFY(window);
        QCOMPARE(window->TemplateId(), 139);
        QCOMPARE(window->windowTitle(), QString("Trellim MAC table access"));
        QCOMPARE(Text(*window, IDC_MAC_SEARCH_TEXT), QString("001122334455"));
        QCOMPARE(window->ModuleIp(), sim.Address());
        const CReportList& list = List(*window);
        QCOMPARE(list.GetColumnCount(), 3);
        const QStringList headings = {"MAC found", "Port", "Age"};
        for (int column = 0; column < 3; ++column) {
            QCOMPARE(list.ColumnHeading(column), headings[column]);
            QVERIFY(list.columnWidth(column) >= list.fontMetrics().horizontalAdvance(headings[column]));
        }
        QVERIFY(sim.Journal().empty());  // opening reads nothing
        CheckCaptionsFit(*window);
    }

    void simRefusesBadTableEntries_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("not an array") << R"({"index": 1})";
        QTest::newRow("no index") << R"([{"mac": "00-00-00-00-00-01"}])";
        QTest::newRow("index 1024") << R"([{"index": 1024, "mac": "00-00-00-00-00-01"}])";
        QTest::newRow("short MAC") << R"([{"index": 1, "mac": "00-00-00-00-01"}])";
        QTest::newRow("MAC not hex") << R"([{"index": 1, "mac": "00-00-00-00-00-0Z"}])";
        QTest::newRow("port 8") << R"([{"index": 1, "mac": "00-00-00-00-00-01", "port": 8}])";
        QTest::newRow("twice") << R"([{"index": 1, "mac": "000000000001"}, {"index": 1, "mac": "000000000002"}])";
        QTest::newRow("unknown key") << R"([{"index": 1, "mac": "000000000001", "vlan": 2}])";
    }

    void simRefusesBadTableEntries()
    {
        QFETCH(QString, table);
        bool refused = false;
        try {
            SimModule sim("{\"macTable\": " + table.toStdString() + "}");
        } catch (const std::runtime_error&) {
            refused = true;
        }
        QVERIFY(refused);
    }

private:
    // One search that finds index 7 of kOneEntry-like tables, then a clean
    // journal and no pauses.
    static void AddRowBySearch(CMacTableDlg& window, SimModule& sim)
    {
        SetText(window, IDC_MAC_SEARCH_TEXT, "00-00-00-00-00-05");
        Press(window, IDC_MAC_SEARCH_BUTTON);
        if (List(window).GetItemCount() == 0) {
            SetText(window, IDC_MAC_SEARCH_TEXT, "00-1A-2B-3C-4D-5E");
            Press(window, IDC_MAC_SEARCH_BUTTON);
        }
        QCOMPARE(List(window).GetItemCount(), 1);
        sim.ClearJournal();
        TestEnvironment::TakePauses();
    }
};

QTEST_MAIN(TestMacTable)
#include "test_win_mac_table.moc"
