// The main window never sends what the operator did not type: a field that
// failed its check, an incomplete or unusable address, a community string
// that cannot travel as 8-bit text. Each case checks what went on the wire
// (nothing) and what the status line says.

#include <QtTest>

#include <functional>

#include "core/MainDlg.h"
#include "res/MainDlgIds.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"

using namespace drive;
using namespace fixture;

namespace {

const char* const kNothingSent = "Nothing sent: correct the marked field first.";
const char* const kIncompleteIp = "ERROR in IP address. Fill in all four numbers.";
const char* const kCommunityNot8Bit
    = "ERROR in community string. Only 8-bit (Latin-1) characters can be sent to the module.";

using Typing = std::function<void(CMainDlg&)>;

void BlankField(CMainDlg& window, int id, int field) { window.IpCtrl(id)->Field(field)->clear(); }

}  // namespace

Q_DECLARE_METATYPE(Typing)

class TestRefusals : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // What the operator types before pressing a button, the button, and the
    // status line afterwards; the module gets nothing.
    void nothingSent_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<Typing>("typing");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("boxes");  // framework messages expected

        const auto badPingThenVlan = [](CMainDlg& w) {
            SetText(w, IDC_PING_RESTART_MIN, "0");
            SetText(w, IDC_VLAN_TAG, "100");
        };
        QTest::newRow("bad ping restart, Set VLAN tag")
            << "4.073" << Typing(badPingThenVlan) << int(IDC_SET_VLAN_TAG) << kNothingSent << 1;
        QTest::newRow("VLAN letters, Set ping restart")
            << "4.073" << Typing([](CMainDlg& w) { SetText(w, IDC_VLAN_TAG, "x"); }) << int(IDC_SET_PING_RESTART)
            << kNothingSent << 1;
        QTest::newRow("bad VLAN, untick TFTP, Set Modes") << "4.073" << Typing([](CMainDlg& w) {
            SetText(w, IDC_VLAN_TAG, "5000");
            SetChecked(w, IDC_MODE_EXTRA_FIRST, false);
        }) << int(IDC_SET_MODES) << kNothingSent
                                                          << 1;
        QTest::newRow("bad VLAN, Set MAC lock") << "4.073" << Typing([](CMainDlg& w) {
            SetText(w, IDC_VLAN_TAG, "-1");
            SetText(w, IDC_MAC_LOCK1, "00 01 02 03 04 05");
        }) << int(IDC_SET_MAC_LOCK1) << kNothingSent
                                                << 1;

        // Blank address fields: nothing sent, whichever action.
        for (const auto& [name, button] : std::vector<std::pair<const char*, int>> {
                 {"module address blank, Read Settings", IDC_READ_SETTINGS},
                 {"module address blank, Restart", IDC_RESTART},
                 {"module address blank, Set VLAN tag", IDC_SET_VLAN_TAG},
                 {"module address blank, Set Modes", IDC_SET_MODES},
                 {"module address blank, I/O ports", IDC_IO_PORTS},
             })
            QTest::newRow(name) << "4.073"
                                << Typing([](CMainDlg& w) { BlankField(w, IDC_MODULE_ADDRESS, 3); }) << button
                                << kIncompleteIp << 0;
        QTest::newRow("gateway blank") << "4.073" << Typing([](CMainDlg& w) { BlankField(w, IDC_GATEWAY, 0); })
                                       << int(IDC_SET_GATEWAY) << kIncompleteIp << 0;

        // The module's own address: never 0.0.0.0 or 255.255.255.255.
        const QString cutOff
            = "ERROR in IP address. 0.0.0.0 and 255.255.255.255 would cut the module off the network.";
        QTest::newRow("module IP 0.0.0.0") << "4.073" << Typing([](CMainDlg& w) { SetIp(w, IDC_IP, "0.0.0.0"); })
                                           << int(IDC_SET_IP) << cutOff << 0;
        QTest::newRow("module IP broadcast")
            << "4.073" << Typing([](CMainDlg& w) { SetIp(w, IDC_IP, "255.255.255.255"); }) << int(IDC_SET_IP)
            << cutOff << 0;
        // A firmware that reads no settings leaves the address field blank.
        QTest::newRow("4.045 reads nothing, Set IP")
            << "4.045" << Typing([](CMainDlg&) { }) << int(IDC_SET_IP) << kIncompleteIp << 0;

        // Community text that is not 8-bit is never sent as "?".
        QTest::newRow("R/W community not 8-bit")
            << "4.073" << Typing([](CMainDlg& w) { SetText(w, IDC_RW_COMMUNITY, QString::fromUtf8("m\u20acrbled")); })
            << int(IDC_SET_VLAN_TAG) << kCommunityNot8Bit << 0;
        QTest::newRow("R/O community not 8-bit")
            << "4.073"
            << Typing([](CMainDlg& w) { SetText(w, IDC_RO_COMMUNITY, QString::fromUtf8("\u0436\u0436\u0436\u0436")); })
            << int(IDC_READ_SETTINGS) << kCommunityNot8Bit << 0;
    }

    void nothingSent()
    {
        QFETCH(QString, firmware);
        QFETCH(Typing, typing);
        QFETCH(int, button);
        QFETCH(QString, status);
        QFETCH(int, boxes);
        SimModule sim(QString(R"({"firmware": "%1"})").arg(firmware).toStdString());
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        const bool tftpBefore = Checked(*window, IDC_MODE_EXTRA_FIRST);
        typing(*window);
        const bool tftpTyped = Checked(*window, IDC_MODE_EXTRA_FIRST);
        Press(*window, button);

        QCOMPARE(Status(*window), status);
        QCOMPARE(int(ui.Boxes().size()), boxes);
        QVERIFY(sim.Journal().empty());
        QVERIFY(!window->SubWindowOf(SubWindow::IoPorts));
        // A box the operator changed is not put back.
        if (tftpBefore != tftpTyped)
            QCOMPARE(Checked(*window, IDC_MODE_EXTRA_FIRST), tftpTyped);
    }

    // Actions that need only the address and the community strings take those
    // and go on when another field is bad.
    void accessOnlyActionsGoOn()
    {
        SimModule sim(R"({"readCommunity": "other"})");
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        SetText(*window, IDC_VLAN_TAG, "abc");
        SetText(*window, IDC_RO_COMMUNITY, "other");
        Press(*window, IDC_TARGET_RESTART);
        QCOMPARE(ui.BoxTexts(), QStringList {"Please enter a positive integer."});
        QCOMPARE(Status(*window), QString("Connection established! \"Target Restart\" command confirmed."));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(journal[0].community, std::string("other"));  // taken as typed, after the bad field
    }

    // A number of the setter's own field out of range still meets the
    // setter's own check and message.
    void ownFieldOutOfRangeGetsTheSettersMessage()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, IDC_VLAN_TAG, "4096");
        Press(*window, IDC_SET_VLAN_TAG);
        QCOMPARE(Status(*window), QString("ERROR in VLAN Tag value. Must be in the range [0..4095]"));
        QVERIFY(sim.Journal().empty());
    }
};

QTEST_MAIN(TestRefusals)
#include "test_win_refusals.moc"
