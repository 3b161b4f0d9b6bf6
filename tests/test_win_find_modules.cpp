// The Find Modules window against a simulated fleet with silent modules:
// opened from the main window's context menu with its address and read
// community, the list of exactly the modules that answered (GETs only, with
// the community typed), the main window usable during the scan, Stop, a
// module picked by double click or Enter, Copy, and ranges and communities
// refused before anything is sent.

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "core/FindModulesDlg.h"
#include "platform/ReportList.h"
#include "res/FindModulesDlgIds.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"

using namespace drive;

namespace {

const char* const kFleetCommunity = "fleetread";

// Twelve modules from 127.1.0.1 that take only their own read community;
// 127.1.0.3 and 127.1.0.8 never answer.
SimFleetSpec TwelveModules()
{
    SimFleetSpec spec;
    spec.size = 12;
    spec.stateJson = std::string(R"({"readCommunity": ")") + kFleetCommunity + R"("})";
    spec.silent = {"127.1.0.3", "127.1.0.8"};
    return spec;
}

// The main window on the fleet's first module, its read community the
// fleet's, and the Find Modules window opened from its context menu.
struct Windows {
    std::unique_ptr<CMainDlg> main;
    CFindModulesDlg* find = nullptr;
};

Windows OpenFindModules(const SimModule& fleet)
{
    Windows windows {fixture::OpenMainWindow(fleet)};
    SetText(*windows.main, IDC_RO_COMMUNITY, kFleetCommunity);
    for (QAction* action : windows.main->SystemMenu()->actions())
        if (action->text() == "&Find Modules...")
            action->trigger();
    windows.find = windows.main->FindModulesWindow();
    if (!windows.find)
        qFatal("the context menu opened no Find Modules window");
    return windows;
}

CReportList& List(const CFindModulesDlg& window) { return *window.Item<CReportList>(IDC_FIND_LIST); }

// Each row's cells joined by `separator`.
QStringList Rows(const CFindModulesDlg& window, const QString& separator = " | ")
{
    QStringList rows;
    const CReportList& list = List(window);
    for (int row = 0; row < list.GetItemCount(); ++row)
        rows << QStringList {list.GetItemText(row, 0), list.GetItemText(row, 1), list.GetItemText(row, 2),
                    list.GetItemText(row, 3)}
                    .join(separator);
    return rows;
}

// Long enough for every silent address of a small range to time out.
constexpr int kScanTimeoutMs = 60000;

// The GET requests of a trace file, by the host they went to.
std::vector<std::string> TracedRequests(const QString& path)
{
    std::vector<std::string> hosts;
    std::ifstream file(path.toStdString());
    std::string time, host, direction;
    std::string rest;
    while (file >> time >> host >> direction && std::getline(file, rest))
        if (direction == ">")
            hosts.push_back(host.substr(0, host.find(':')));
    return hosts;
}

// Every trace of the test goes when it ends.
struct TraceFile {
    QTemporaryDir dir;
    QString path = dir.filePath("trace.log");
    TraceFile() { CSnmpRequest::SetTraceFile(path.toStdString()); }
    ~TraceFile() { CSnmpRequest::SetTraceFile(std::string()); }
};

}  // namespace

class TestFindModules : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // The list holds exactly the answering modules, in address order, from
    // GETs with the community of the window; the main window reads a module
    // while the scan goes on.
    void scanListsTheAnsweringModules()
    {
        SimModule fleet(TwelveModules());
        Windows windows = OpenFindModules(fleet);
        CFindModulesDlg& find = *windows.find;
        QCOMPARE(Text(find, IDC_FIND_RANGE), QString("127.1.0.0/24"));
        QCOMPARE(Text(find, IDC_FIND_COMMUNITY), QString(kFleetCommunity));

        SetText(find, IDC_FIND_RANGE, "127.1.0.1-127.1.0.14");  // 13 and 14 hold no module
        Press(find, IDC_FIND_SCAN);
        QVERIFY(find.Scanning());
        QCOMPARE(Text(find, IDC_FIND_SCAN), QString("Stop"));
        QCOMPARE(Status(find), QString("Scanning 14 addresses ..."));
        QVERIFY(ReadOnly(find, IDC_FIND_RANGE) && ReadOnly(find, IDC_FIND_COMMUNITY));
        Press(*windows.main, IDC_READ_SETTINGS);  // waits for its module while the scan runs
        QCOMPARE(Status(*windows.main), QString(fixture::kDataReceived));

        QTRY_VERIFY_WITH_TIMEOUT(!find.Scanning(), kScanTimeoutMs);
        QStringList expected;
        for (int i = 0; i < 12; ++i)
            if (i != 2 && i != 7)
                expected << fleet.FleetAddress(i) + QString::asprintf(" | 4.073 | 00 0A 1B 2C 3D %02X | yes", 0x4E + i);
        QCOMPARE(Rows(find), expected);
        QCOMPARE(Status(find), QString("Scan complete: 10 modules answered out of 14 addresses asked."));
        QCOMPARE(Text(find, IDC_FIND_SCAN), QString("Scan"));
        QVERIFY(!ReadOnly(find, IDC_FIND_RANGE));
        std::set<std::string> asked;
        for (const JournalEntry& entry : fleet.Journal()) {
            QCOMPARE(entry.op, std::string("get"));
            QCOMPARE(entry.community, std::string(kFleetCommunity));
            asked.insert(entry.address);
        }
        QCOMPARE(asked.size(), size_t(12));

        ScriptedUi ui;
        Press(find, IDC_FIND_COPY);
        QCOMPARE(ui.clipboard, "IP Address\tFirmware\tMAC address\tSwitch board\r\n" + Rows(find, "\t").join("\r\n") + "\r\n");
    }

    // A double click or Enter on a row puts its address into "IP Address"
    // and reads that module; Enter starts no scan.
    void pickedModuleIsRead_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("address");
        QTest::newRow("double click") << true << 3 << "127.1.0.5";
        QTest::newRow("Enter") << false << 8 << "127.1.0.11";
    }

    void pickedModuleIsRead()
    {
        QFETCH(bool, doubleClick);
        QFETCH(int, row);
        QFETCH(QString, address);
        SimModule fleet(TwelveModules());
        Windows windows = OpenFindModules(fleet);
        CFindModulesDlg& find = *windows.find;
        SetText(find, IDC_FIND_RANGE, "127.1.0.1-127.1.0.12");
        Press(find, IDC_FIND_SCAN);
        QTRY_VERIFY_WITH_TIMEOUT(!find.Scanning(), kScanTimeoutMs);
        fleet.ClearJournal();

        CReportList& list = List(find);
        QCOMPARE(list.GetItemText(row, 0), address);
        QTreeWidgetItem* item = list.topLevelItem(row);
        list.setCurrentItem(item);
        if (doubleClick) {
            QVERIFY(QTest::qWaitForWindowExposed(&find));
            const QPoint center = list.visualItemRect(item).center();
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, center);
            QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, center);
        } else {
            list.setFocus();
            QTest::keyClick(&list, Qt::Key_Return);
        }
        QCOMPARE(Ip(*windows.main, IDC_MODULE_ADDRESS), address);
        QCOMPARE(Status(*windows.main), QString(fixture::kDataReceived));
        QCOMPARE(Text(*windows.main, IDC_VERSION), QString("4.073"));
        QVERIFY(!fleet.JournalOf(address).empty());
        QCOMPARE(fleet.JournalOf(address).front().oid, std::string(Oid::kFirmwareVersion));
        QCOMPARE(fleet.JournalOf(address).size(), fleet.Journal().size());  // no other module asked
        QVERIFY(!find.Scanning());
        QCOMPARE(list.GetItemCount(), 10);
    }

    // Stop ends the scan at once: the modules that answered stay listed,
    // the status line counts them and the addresses asked (the first of the
    // range; some may have been cancelled before their request went out),
    // and nothing more is sent. 510 of the 512 modules are silent: the scan
    // would take eight rounds of time-outs.
    void stopSendsNothingMore()
    {
        SimFleetSpec spec;
        spec.size = 512;
        spec.silent = {"127.1.0.3-127.1.2.0"};
        SimModule fleet(spec);
        Windows windows = OpenFindModules(fleet);
        CFindModulesDlg& find = *windows.find;
        SetText(find, IDC_FIND_COMMUNITY, fixture::kReadCommunity);
        SetText(find, IDC_FIND_RANGE, "127.1.0.1-127.1.2.0");
        std::vector<QString> firstAsked;  // the range in the order it is asked
        for (int i = 0; i < 512; ++i)
            firstAsked.push_back(fleet.FleetAddress(i));
        const TraceFile trace;
        Press(find, IDC_FIND_SCAN);
        QTRY_VERIFY_WITH_TIMEOUT(List(find).GetItemCount() > 0, kScanTimeoutMs);
        QVERIFY(find.Scanning());
        Press(find, IDC_FIND_SCAN);

        QVERIFY(!find.Scanning());
        QCOMPARE(Text(find, IDC_FIND_SCAN), QString("Scan"));
        const std::vector<std::string> sent = TracedRequests(trace.path);
        const int rows = List(find).GetItemCount();
        const QRegularExpressionMatch counts
            = QRegularExpression("^Stopped: (\\d+) modules? answered out of (\\d+) addresses asked\\.$").match(Status(find));
        QVERIFY2(counts.hasMatch(), qPrintable(Status(find)));
        QCOMPARE(counts.captured(1).toInt(), rows);
        const int asked = counts.captured(2).toInt();
        QVERIFY2(asked < 512, "Stop started no more addresses");
        for (const std::string& host : sent)
            QVERIFY2(std::find(firstAsked.begin(), firstAsked.begin() + asked, QString::fromStdString(host))
                    != firstAsked.begin() + asked,
                host.c_str());
        for (const QString& row : Rows(find))
            QVERIFY2(row.startsWith("127.1.0.1 |") || row.startsWith("127.1.0.2 |"), qPrintable(row));

        QTest::qWait(1500);  // a time-out and more: what a running scan would send next
        QCOMPARE(TracedRequests(trace.path).size(), sent.size());
        QTRY_COMPARE(fleet.Journal().size(), sent.size());
        QCOMPARE(List(find).GetItemCount(), rows);
    }

    // A range that is none, or a community that cannot be sent, stops the
    // scan before anything is sent.
    void refusedBeforeSending_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("community");
        QTest::addColumn<QString>("status");
        const QString ok = "127.1.0.1-127.1.0.2";
        QTest::newRow("wider than a /16")
            << "127.0.0.0/15" << kFleetCommunity
            << "ERROR in address range: 127.0.0.0/15 is larger than a /16 (65536 addresses); scan it in parts";
        QTest::newRow("backwards") << "127.1.0.2-127.1.0.1" << kFleetCommunity
                                   << "ERROR in address range: 127.1.0.2-127.1.0.1: the first address is above the last";
        QTest::newRow("one address") << "127.1.0.1" << kFleetCommunity
                                     << "ERROR in address range: 127.1.0.1: not a range (a.b.c.d/N or FIRST-LAST)";
        QTest::newRow("bad prefix") << "127.1.0.0/33" << kFleetCommunity
                                    << "ERROR in address range: 127.1.0.0/33: the prefix after / is not a number from 16 to 32";
        QTest::newRow("bad address") << "127.1.0.1-127.1.0" << kFleetCommunity
                                     << "ERROR in address range: not a dotted IPv4 address (four decimal numbers "
                                        "from 0 to 255): 127.1.0";
        QTest::newRow("community beyond Latin-1")
            << ok << QString::fromUtf8("fleet\u20AC")
            << "ERROR in community string. Only 8-bit (Latin-1) characters can be sent to the module.";
    }

    void refusedBeforeSending()
    {
        QFETCH(QString, range);
        QFETCH(QString, community);
        QFETCH(QString, status);
        SimFleetSpec spec;
        spec.size = 2;
        SimModule fleet(spec);
        Windows windows = OpenFindModules(fleet);
        CFindModulesDlg& find = *windows.find;
        SetText(find, IDC_FIND_RANGE, range);
        SetText(find, IDC_FIND_COMMUNITY, community);
        Press(find, IDC_FIND_SCAN);
        QCOMPARE(Status(find), status);
        QVERIFY(!find.Scanning());
        QCOMPARE(Text(find, IDC_FIND_RANGE), range);  // kept for correction
        QTest::qWait(200);
        QVERIFY(fleet.Journal().empty());
        QCOMPARE(List(find).GetItemCount(), 0);
    }
};

QTEST_MAIN(TestFindModules)
#include "test_win_find_modules.moc"
