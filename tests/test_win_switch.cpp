// The switch settings window against a simulated module: the read at opening
// and what the fields show, uploads of exactly the changed registers with the
// restart, the wait and the confirmation, failures of each step, the port
// tabs, group IDs and VLAN index, configuration files, and what an operator
// can type.

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <numeric>
#include <unistd.h>

#include "base/Pause.h"
#include "platform/IpAddressCtrl.h"
#include "platform/TabBar.h"
#include "res/SwitchDlgIds.h"
#include "res/SwitchDlgTemplate.h"
#include "snmp/ModuleObjects.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"
#include "switch/PortStatusDlg.h"
#include "switch/SwitchDlg.h"

using namespace drive;

namespace {

const char* const kReceived = "Connection established! Trellim configuration received.";
const char* const kNoChanges = "No changes made! Skipping SNMP upload to switch memory.";
const char* const kConfirmed = "Settings comfirmed succesfully! You have access to Nubrel.";
const char* const kNothingSent = "Nothing sent: correct the marked field first.";
const char* const kImplausible
    = "Data received from Trellim seems not to be correct.\nPlease, check data cable between IP module and Trellim";
const char* const kReadCommunity = "582019374620";
const char* const kWriteCommunity = "marbled";
const std::string kRegisters = ".1.3.6.1.4.1.19865.1.4.2.";

// The factory image except register 13 (port 0's VLAN index register), which
// already holds what a store of port 0 writes: a save right after the read
// sends nothing.
const char* const kSettled = R"({"objects": {".1.4.2.13.0": {"value": 0}}})";

std::string AllRegisters(int value)
{
    std::string objects;
    for (int r = 0; r < 128; ++r)
        objects += (r ? "," : "") + std::string("\".1.4.2.") + std::to_string(r)
            + ".0\": {\"value\": " + std::to_string(value) + "}";
    return "{\"objects\": {" + objects + "}}";
}

std::unique_ptr<CSwitchDlg> OpenSwitchWindow(SimModule& sim)
{
    sim.Use();
    auto window = std::make_unique<CSwitchDlg>(
        SubWindowArgs {sim.Address(), QString::fromLatin1(kWriteCommunity), QString::fromLatin1(kReadCommunity)});
    window->Create();
    sim.ClearJournal();
    TestEnvironment::TakePauses();
    return window;
}

QStringList Sets(const SimModule& sim)
{
    QStringList sets;
    for (const JournalEntry& entry : sim.Journal())
        if (entry.op == "set")
            sets << QString::fromStdString(entry.oid.substr(kRegisters.size()) + "=" + entry.value);
    return sets;
}

// Every request as "op oid community".
QStringList Requests(const SimModule& sim)
{
    QStringList requests;
    for (const JournalEntry& entry : sim.Journal())
        requests << QString::fromStdString(entry.op + " " + entry.oid + " " + entry.community);
    return requests;
}

unsigned LongPauses(const std::vector<unsigned>& pauses)
{
    unsigned total = 0;
    for (unsigned pause : pauses)
        if (pause != 150)
            total += pause;
    return total;
}

void TypeInto(CDialog& window, int id, const QString& text)
{
    auto* edit = window.Item<QLineEdit>(id);
    edit->selectAll();  // the first key replaces the old text: the field is never empty
    QTest::keyClicks(edit, text);
}

void ChooseItem(CDialog& window, int id, int index)
{
    auto* combo = window.Item<QComboBox>(id);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

CTabBar* Tabs(CDialog& window) { return window.Item<CTabBar>(IDC_SW_PORT_TABS); }

QByteArray Bytes(const CSwitchImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.bytes().data()), 128);
}

}  // namespace

class TestWinSwitch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    void templateHasItsControls()
    {
        const DialogTemplate& tpl = SwitchDlgTemplate();
        QCOMPARE(tpl.id, 130);
        QCOMPARE(QString(tpl.caption), QString("Trellim Settings"));
        QCOMPARE(tpl.cx, 568);
        QCOMPARE(tpl.cy, 359);
        std::map<int, ControlKind> kinds;
        for (const ControlSpec& control : tpl.controls) {
            QVERIFY(control.x >= 0 && control.y >= 0 && control.x + control.cx <= tpl.cx
                && control.y + control.cy <= tpl.cy);
            if (control.id != IDC_STATIC)
                QVERIFY2(kinds.emplace(control.id, control.kind).second, qPrintable(QString::number(control.id)));
        }
        for (const GlobalBit& row : kGlobalBits)
            QCOMPARE(int(kinds.at(row.control)), int(ControlKind::CheckBox));
        for (const PortBit& row : kPortBits)
            QCOMPARE(int(kinds.at(row.control)), int(ControlKind::CheckBox));
        for (int g = 0; g < 8; ++g) {
            QCOMPARE(int(kinds.at(kGroupIdControls[g])), int(ControlKind::Edit));
            for (int p = 0; p < 8; ++p)
                QCOMPARE(int(kinds.at(MemberControl(g, p))), int(ControlKind::CheckBox));
        }
        for (const AddressSlot& slot : kPriorityAddresses)
            QCOMPARE(int(kinds.at(slot.control)), int(ControlKind::IpAddress));
    }

    // ---- Reading ---------------------------------------------------------------

    void openingReadsAndShowsTheConfiguration()
    {
        SimModule sim;
        ScriptedUi ui;
        sim.Use();
        CSwitchDlg window(SubWindowArgs {sim.Address(), kWriteCommunity, kReadCommunity});
        window.Create();
        QCOMPARE(Status(window), QString(kReceived));
        QStringList expected;
        for (int r = 0; r < 128; ++r)
            expected << QString::fromStdString("get " + Oid::SwitchRegister(r) + " " + kReadCommunity);
        QCOMPARE(Requests(sim), expected);
        QVERIFY(Checked(window, IDC_SW_FILTER_BAD) && Checked(window, IDC_SW_NO_LOOP_DETECT));
        QVERIFY(!Checked(window, IDC_SW_FAST_AGING) && !Checked(window, IDC_SW_LOOKUP_ACCESS));
        QVERIFY(!Enabled(window, IDC_SW_LOOKUP_ACCESS) && !Enabled(window, IDC_SW_INSERT_TAG));
        QCOMPARE(window.Item<QComboBox>(IDC_SW_LED_MODE)->currentText(), QString("Mode 7"));
        QCOMPARE(window.Item<QComboBox>(IDC_SW_QUEUE_RATIO)->currentText(), QString("16:1"));
        QCOMPARE(window.Item<QComboBox>(IDC_SW_VLAN_INDEX)->currentText(), QString("A"));
        QCOMPARE(window.Item<QComboBox>(IDC_SW_VLAN_INDEX)->count(), 16);
        QCOMPARE(Text(window, IDC_SW_PRIORITY_THRESHOLD), QString("4"));
        QCOMPARE(Text(window, IDC_SW_DIFFSERV_A), QString("63"));
        QCOMPARE(Ip(window, IDC_SW_IP_A), QString("168.192.0.1"));
        QCOMPARE(Ip(window, IDC_SW_MASK_B), QString("255.255.255.255"));
        QCOMPARE(Text(window, kGroupIdControls[7]), QString("7"));
        QVERIFY(Checked(window, MemberControl(5, 5)) && !Checked(window, MemberControl(5, 4)));
        QVERIFY(Checked(window, IDC_SW_TAG_NO_CHANGE) && Checked(window, IDC_SW_PORT_ENABLE));
        QCOMPARE(Tabs(window)->count(), 8);
        QCOMPARE(Tabs(window)->tabText(7), QString("Port 7"));
        QVERIFY(window.SwitchImage() == CSwitchImage::Defaults() && window.Image() == window.SwitchImage());
        QVERIFY(ui.Boxes().empty());
    }

    void implausibleReadWarnsAndKeepsTheData_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("all 0xFF") << 0xFF;
        QTest::newRow("all 0") << 0;
    }
    void implausibleReadWarnsAndKeepsTheData()
    {
        QFETCH(int, value);
        SimModule sim(AllRegisters(value));
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        QCOMPARE(ui.BoxTexts(), QStringList {kImplausible});
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
        QCOMPARE(Status(*window), QString(kReceived));
        QCOMPARE(Checked(*window, IDC_SW_FILTER_BAD), value != 0);
        QCOMPARE(Text(*window, kGroupIdControls[0]), QString(value ? "4095" : "0"));
        QCOMPARE(int(window->SwitchImage().Register(127)), value);
    }

    // A read that times out says so in the status line, and only there: the
    // SNMP library's own diagnostics ("snmpget: Timeout") stay off standard
    // error.
    void failedReadLeavesTheZeroImageAndBlocksTheUpload()
    {
        SimModule sim(R"({"faults": {".1.4.2.64.0": {"silence": true}}})");
        ScriptedUi ui;
        QTemporaryDir dir;
        const QByteArray captured = QFile::encodeName(dir.filePath("stderr.txt"));
        fflush(stderr);
        const int saved = dup(STDERR_FILENO);
        const int file = open(captured.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(saved >= 0 && file >= 0 && dup2(file, STDERR_FILENO) == STDERR_FILENO);
        close(file);
        auto window = OpenSwitchWindow(sim);
        fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        QFile written(QString::fromLocal8Bit(captured));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray());
        QCOMPARE(Status(*window), QString("SNMP Error: Unable to connect to target host! (Error code -2)"));
        QVERIFY(!window->SwitchKnown());
        QVERIFY(window->Image() == CSwitchImage());
        QCOMPARE(Text(*window, IDC_SW_PRIORITY_THRESHOLD), QString("0"));
        QCOMPARE(window->Item<QComboBox>(IDC_SW_LED_MODE)->currentText(), QString("Mode 0"));
        SetChecked(*window, IDC_SW_FAST_AGING, true);
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(
            Status(*window), QString("No configuration read from Trellim yet! Press \"Read Configuration\" first."));
        QVERIFY(sim.Journal().empty());
        QVERIFY(ui.Boxes().empty());
    }

    // ---- Uploading -------------------------------------------------------------

    void saveRightAfterReadFixesOnlyTheRewrittenRegister()
    {
        SimModule sim;  // factory image: port 0's B+5 holds 0x0F
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(Sets(sim), QStringList {"13.0=0"});
        QCOMPARE(Status(*window), QString(kConfirmed));
        sim.ClearJournal();
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(Status(*window), QString(kNoChanges));
        QVERIFY(sim.Journal().empty());
    }

    void oneChangedBoxSendsOneRegisterThenRestartsAndConfirms()
    {
        SimModule sim(kSettled);
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        SetChecked(*window, IDC_SW_FAST_AGING, true);
        Press(*window, IDC_SW_SAVE);
        const QStringList expected = {
            QString::fromStdString("set " + Oid::SwitchRegister(0) + " " + kWriteCommunity),
            QString::fromStdString(std::string("get ") + Oid::kRestartSwitch + " " + kWriteCommunity),
            QString::fromStdString(std::string("get ") + Oid::kConfirmSwitch + " " + kWriteCommunity),
        };
        QCOMPARE(Requests(sim), expected);
        QCOMPARE(Sets(sim), QStringList {"0.0=126"});
        QCOMPARE(LongPauses(TestEnvironment::TakePauses()), CSwitchDlg::kConfirmWaitMs);
        QCOMPARE(Status(*window), QString(kConfirmed));
        QCOMPARE(int(window->SwitchImage().Register(0)), 0x7E);
    }

    void waitShowsPleaseWait()
    {
        SimModule sim(kSettled);
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        QStringList seen;
        SetSleepHook([&](unsigned ms) {
            if (ms != 150)
                seen << Status(*window);
        });
        SetChecked(*window, IDC_SW_AGING, false);
        Press(*window, IDC_SW_SAVE);
        SetSleepHook([](unsigned) {});  // no real waiting in the tests that follow
        QVERIFY(!seen.isEmpty());
        for (const QString& status : seen)
            QVERIFY2(status.endsWith("please wait!"), qPrintable(status));
    }

    void failedUploadOffersTheSameRegistersAgain()
    {
        SimModule sim(R"({"objects": {".1.4.2.13.0": {"value": 0}},
                          "faults": {".1.4.2.5.0": {"error": 5, "on": "set", "times": 1}}})");
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        SetText(*window, IDC_SW_DIFFSERV_A, "10");
        SetChecked(*window, IDC_SW_FAST_AGING, true);
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(Status(*window),
            QString(
                "SNMP Error: Unable to connect to target host! (Error code -1). Check R/W SNMP community string ..."));
        QCOMPARE(Sets(sim), (QStringList {"0.0=126", "5.0=74"}));
        QVERIFY(sim.Journal(Oid::kRestartSwitch).empty());
        QCOMPARE(int(window->SwitchImage().Register(0)), 0x7C);
        sim.ClearJournal();
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(Sets(sim), (QStringList {"0.0=126", "5.0=74"}));
        QCOMPARE(Status(*window), QString(kConfirmed));
    }

    // A confirmation that is not answered, or answered with an error status,
    // is no confirmation: the switch returns to its defaults.
    void failedConfirmationSaysTheSwitchWillDefault_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("code");
        QTest::newRow("no answer") << R"({"silence": true})" << -2;
        QTest::newRow("error status") << R"({"error": 5})" << -1;
    }
    void failedConfirmationSaysTheSwitchWillDefault()
    {
        QFETCH(QString, fault);
        QFETCH(int, code);
        SimModule sim(R"({"objects": {".1.4.2.13.0": {"value": 0}}, "faults": {".1.4.4.0": )" + fault.toStdString()
            + "}}");
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        SetChecked(*window, IDC_SW_TRUNKING, false);
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(Status(*window),
            QString("SNMP Error: Unable to connect to target host! (Error code %1). Settings not confirmed. Switch "
                    "will be defaulted after 2min.")
                .arg(code));
        QCOMPARE(Sets(sim), QStringList {"3.0=140"});
        QCOMPARE(sim.Journal(Oid::kConfirmSwitch).size(), size_t(1));
        sim.ClearJournal();
        Press(*window, IDC_SW_SAVE);  // what was sent counts as the switch's
        QCOMPARE(Status(*window), QString(kNoChanges));
    }

    void restartUsesTheReadCommunity()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        Press(*window, IDC_SW_RESTART);
        QCOMPARE(Requests(sim),
            QStringList {QString::fromStdString(std::string("get ") + Oid::kRestartSwitch + " " + kReadCommunity)});
        QCOMPARE(Status(*window), QString("Trellim restarted."));
    }

    void defaultsThenSaveUploadsTheDifferences()
    {
        SimModule sim(R"({"objects": {".1.4.2.13.0": {"value": 0}, ".1.4.2.120.0": {"value": 1},
                                      ".1.4.2.2.0": {"value": 0}}})");
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        Press(*window, IDC_SW_DEFAULTS);
        QCOMPARE(Status(*window), QString("Default Trellim configuration loaded in application."));
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(Sets(sim), (QStringList {"2.0=127", "120.0=255"}));  // 13 is rewritten to 0 again
    }

    // ---- What an operator can type ------------------------------------------------

    void badFieldSendsNothing_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("threshold 9") << int(IDC_SW_PRIORITY_THRESHOLD) << "9"
                                     << "Please enter an integer between 0 and 7.";
        QTest::newRow("threshold letters") << int(IDC_SW_PRIORITY_THRESHOLD) << "x"
                                           << "Please enter an integer between 0 and 255.";
        QTest::newRow("DiffServ 64") << int(IDC_SW_DIFFSERV_B) << "64"
                                     << "Please enter an integer between 0 and 63.";
        QTest::newRow("DiffServ 300") << int(IDC_SW_DIFFSERV_A) << "300"
                                      << "Please enter an integer between 0 and 255.";
        QTest::newRow("group ID 4096") << int(IDC_SW_GROUP_ID_H) << "4096"
                                       << "Please enter an integer between 0 and 4095.";
        QTest::newRow("group ID letters") << int(IDC_SW_GROUP_ID_A) << "abc"
                                          << "Please enter a positive integer.";
        QTest::newRow("group ID negative") << int(IDC_SW_GROUP_ID_C) << "-1"
                                           << "Please enter a positive integer.";
        QTest::newRow("LED mode no item") << int(IDC_SW_LED_MODE) << "Mode 9"
                                          << "Please select one of the items in the list.";
        QTest::newRow("ratio no item") << int(IDC_SW_QUEUE_RATIO) << "2:1"
                                       << "Please select one of the items in the list.";
    }
    void badFieldSendsNothing()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        SimModule sim(kSettled);
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        SetChecked(*window, IDC_SW_FAST_AGING, true);
        if (auto* combo = window->Item<QComboBox>(field))
            combo->setEditText(text);
        else
            SetText(*window, field, text);
        const CSwitchImage before = window->Image();
        for (int button : {IDC_SW_SAVE, IDC_SW_SAVE_FILE}) {
            ui.ClearBoxes();
            Press(*window, button);
            QCOMPARE(ui.BoxTexts(), QStringList {message});
            QCOMPARE(Status(*window), QString(kNothingSent));
            QVERIFY(window->Image() == before);
        }
        QVERIFY(ui.fileDialogs.empty());
        QVERIFY(sim.Journal().empty());
        // A tab change does not happen either.
        ui.ClearBoxes();
        Tabs(*window)->SelectAsUser(2);
        QCOMPARE(Tabs(*window)->currentIndex(), 0);
        QCOMPARE(ui.BoxTexts(), QStringList {message});
    }

    void blankPriorityAddressFieldSendsNothing()
    {
        SimModule sim(kSettled);
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        SetChecked(*window, IDC_SW_FAST_AGING, true);
        window->IpCtrl(IDC_SW_IP_B)->Field(2)->clear();
        const CSwitchImage before = window->Image();
        for (int button : {IDC_SW_SAVE, IDC_SW_SAVE_FILE}) {
            Press(*window, button);
            QCOMPARE(Status(*window), QString("ERROR in IP address. Fill in all four numbers."));
            QVERIFY(window->Image() == before);
        }
        QVERIFY(ui.fileDialogs.empty());
        QVERIFY(ui.Boxes().empty());
        QVERIFY(sim.Journal().empty());
    }

    void typedItemTextCounts()
    {
        SimModule sim(kSettled);
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        window->Item<QComboBox>(IDC_SW_LED_MODE)->setEditText(" mode 2 ");
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(Sets(sim), QStringList {"1.0=91"});
    }

    // ---- Port page, groups, VLAN index -----------------------------------------------

    void tabChangeStoresThePageLeftAndLoadsTheNext()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        Tabs(*window)->SelectAsUser(3);
        QVERIFY(!Checked(*window, IDC_SW_LOOPBACK));
        SetChecked(*window, IDC_SW_LOOPBACK, true);
        window->findChild<QWidget*>()->setFocus();
        Tabs(*window)->SelectAsUser(4);
        QCOMPARE(int(window->Image().Register(55)), 0xC7 | 0x20);
        QVERIFY(!Checked(*window, IDC_SW_LOOPBACK));
        QCOMPARE(window->Item<QComboBox>(IDC_SW_VLAN_INDEX)->currentText(), QString("E"));
        Tabs(*window)->SelectAsUser(3);
        QVERIFY(Checked(*window, IDC_SW_LOOPBACK));
        QVERIFY(sim.Journal().empty());
    }

    void typingAGroupIdStoresIt()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        TypeInto(*window, IDC_SW_GROUP_ID_A, "4095");
        QCOMPARE(int(window->Image().Register(14)), 0xFF);
        QCOMPARE(int(window->Image().Register(15)), 0xFF);
        QCOMPARE(Text(*window, IDC_SW_INSERT_TAG), QString("4095"));  // port 0 names group A
        TypeInto(*window, IDC_SW_GROUP_ID_A, "256");
        QCOMPARE(int(window->Image().Register(14)), 0x00);
        QCOMPARE(int(window->Image().Register(15)), 0xF1);
        QVERIFY(ui.Boxes().empty());
        // A program's push is no typing: reading again leaves the image alone.
        Press(*window, IDC_SW_READ);
        QCOMPARE(int(window->Image().Register(15)), 0xF0);
    }

    void vlanIndexShowsTheGroupIdOfItsField()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        SetText(*window, IDC_SW_GROUP_ID_C, "77");  // not yet stored in the image
        ChooseItem(*window, IDC_SW_VLAN_INDEX, 2);
        QCOMPARE(Text(*window, IDC_SW_INSERT_TAG), QString("77"));
        ChooseItem(*window, IDC_SW_VLAN_INDEX, 9);  // "J": no such group
        QCOMPARE(Text(*window, IDC_SW_INSERT_TAG), QString());
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(Sets(sim), (QStringList {"13.0=144", "46.0=77"}));
        QVERIFY(ui.Boxes().empty());
    }

    void addressesAndMembershipReachTheRegisters()
    {
        SimModule sim(kSettled);
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        SetIp(*window, IDC_SW_IP_B, "10.1.2.3");
        SetChecked(*window, MemberControl(1, 7), true);
        Press(*window, IDC_SW_SAVE);
        QCOMPARE(Sets(sim), (QStringList {"20.0=1", "21.0=10", "22.0=3", "23.0=2", "28.0=130"}));
    }

    // ---- Files ------------------------------------------------------------------

    void fileSaveAndLoadRoundTrip()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        QTemporaryDir dir;
        const QString path = dir.filePath("switch.rcs");
        SetText(*window, IDC_SW_DIFFSERV_B, "33");
        ui.QueueSaveFile(path);
        Press(*window, IDC_SW_SAVE_FILE);
        QCOMPARE(Status(*window), QString("Data succesfully saved to file!"));
        const FileDialogSpec& saveSpec = ui.fileDialogs.back();
        QCOMPARE(saveSpec.title, QString("Save current configuration to file"));
        QCOMPARE(saveSpec.filter, QString("Binaty File (*.bin);;All Files (*.*)"));
        QCOMPARE(saveSpec.defaultExt, QString("rcs"));
        const QByteArray saved = Bytes(window->Image());
        QCOMPARE(saved[4], char(0x40 | 33));  // bits 7..6 kept

        Press(*window, IDC_SW_DEFAULTS);
        ui.QueueOpenFile(path);
        Press(*window, IDC_SW_LOAD_FILE);
        QCOMPARE(Status(*window), QString("Data succesfully loaded from file!"));
        QCOMPARE(ui.fileDialogs.back().title, QString("Open configuration file"));
        QCOMPARE(Bytes(window->Image()), saved);
        QCOMPARE(Text(*window, IDC_SW_DIFFSERV_B), QString("33"));
        QVERIFY(sim.Journal().empty() && ui.Boxes().empty());
    }

    // A file that is no configuration (not exactly 128 bytes, or every
    // byte 0x00 or 0xFF as an unconnected switch reads) is refused in a stop
    // box that says why, and changes nothing: image, fields, traffic.
    void fileLoadCases_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // empty: a folder is chosen
        QTest::addColumn<QString>("box");  // empty: loaded
        QTest::newRow("128 bytes") << QByteArray(128, char(0x11)) << "";
        QTest::newRow("200 bytes") << QByteArray(200, char(0x11))
                                   << "Nothing was loaded: 200 bytes, but a configuration file holds exactly 128.";
        QTest::newRow("100 bytes") << QByteArray(100, char(0x11))
                                   << "Nothing was loaded: 100 bytes, but a configuration file holds exactly 128.";
        QTest::newRow("all 0x00") << QByteArray(128, 0)
                                  << "Nothing was loaded: every byte is 0x00 or 0xFF, which is what a switch board "
                                     "with a missing or broken link reads, not a configuration.";
        QTest::newRow("all 0xFF") << QByteArray(128, char(0xFF)) << "Nothing was loaded: every byte is 0x00 or 0xFF";
        QTest::newRow("folder") << QByteArray() << "Unable to open file";
    }
    void fileLoadCases()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, box);
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        QTemporaryDir dir;
        QString path = dir.path();
        if (!bytes.isEmpty()) {
            path = dir.filePath("f.rcs");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        const CSwitchImage before = window->Image();
        ui.QueueOpenFile(path);
        Press(*window, IDC_SW_LOAD_FILE);
        QVERIFY(sim.Journal().empty());
        if (box.isEmpty()) {
            QCOMPARE(Status(*window), QString("Data succesfully loaded from file!"));
            QVERIFY(ui.Boxes().empty());
            QCOMPARE(Bytes(window->Image()), bytes);
            QVERIFY(!Checked(*window, IDC_SW_FILTER_BAD));  // 0x11: bit 6 clear
            return;
        }
        QCOMPARE(ui.Boxes().size(), size_t(1));
        QVERIFY2(ui.Boxes()[0].text.startsWith(box), qPrintable(ui.Boxes()[0].text));
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONSTOP));
        QCOMPARE(Status(*window), QString("Please locate file to open ..."));
        QVERIFY(window->Image() == before);
        QVERIFY(Checked(*window, IDC_SW_FILTER_BAD));
        // Nothing of the file reaches the switch with the next save.
        Press(*window, IDC_SW_SAVE);
        QVERIFY(Sets(sim).size() <= 1);  // at most register 13, which a store of port 0 rewrites
    }

    void fileDialogsCancelled()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        Press(*window, IDC_SW_LOAD_FILE);
        QCOMPARE(Status(*window), QString("No file specified. Opening aborted."));
        Press(*window, IDC_SW_SAVE_FILE);
        QCOMPARE(Status(*window), QString("No file specified. Saving aborted."));
        QVERIFY(ui.Boxes().empty());
    }

    void unwritableTargetSaysWhyAndKeepsTheOldFile()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        QTemporaryDir dir;
        ui.QueueSaveFile(dir.path());  // a folder
        Press(*window, IDC_SW_SAVE_FILE);
        QCOMPARE(ui.Boxes().size(), size_t(1));
        QVERIFY(ui.Boxes()[0].text.startsWith("Unable to open file\n"));
        QVERIFY(ui.Boxes()[0].text.size() > int(strlen("Unable to open file\n")));
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONSTOP));
        QVERIFY(Status(*window) != "Data succesfully saved to file!");
    }

    // A disk that fills during "Save to file" (a file size limit here): a
    // stop box with the reason, and the old file byte for byte.
    void fullDiskKeepsTheOldFile()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        QTemporaryDir dir;
        const QString path = dir.filePath("keep.rcs");
        const QByteArray old(128, char(0x3C));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        file.close();
        ui.QueueSaveFile(path);
        {
            FileSizeLimit full(64);
            QVERIFY(full.Applied());
            Press(*window, IDC_SW_SAVE_FILE);
        }
        QCOMPARE(ui.BoxTexts(), QStringList {"Unable to write file\nFile too large"});
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONSTOP));
        QVERIFY(Status(*window) != "Data succesfully saved to file!");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {"keep.rcs"});
    }

    // ---- Port status window ---------------------------------------------------------

    void portsStatusButtonOwnsOneWindow()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = OpenSwitchWindow(sim);
        Press(*window, IDC_SW_PORTS_STATUS);
        QPointer<CPortStatusDlg> first = window->PortStatusWindow();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->ModuleIp(), sim.Address());
        QCOMPARE(first->RoCommunity(), QString(kReadCommunity));
        Press(*window, IDC_SW_PORTS_STATUS);
        QVERIFY(first.isNull());
        QVERIFY(window->PortStatusWindow() && window->PortStatusWindow()->isVisible());
    }
};

QTEST_MAIN(TestWinSwitch)
#include "test_win_switch.moc"
