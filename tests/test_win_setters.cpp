// The thirteen "Set" buttons of the main window against a simulated module:
// what each sends (object, type, value, community), its success message, the
// own range checks after the framework's validation, MAC lock texts, the IP
// setter moving the module address, failures, and what an operator can type.

#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

#include <memory>
#include <tuple>
#include <vector>
#include <string>

#include "core/MainDlg.h"
#include "res/MainDlgIds.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"

using namespace drive;
using namespace fixture;

namespace {

const char* const kBadMacLock = "ERROR in MAC Lock value. Enter six hexadecimal bytes, e.g. 00 0A 1B 2C 3D 4E";
const char* const kPositiveInteger = "Please enter a positive integer.";
const char* const kVlanChanged = "Connection established! VLAN Tag changed.";

// Every "Set" button is usable on 4.079; the VLAN tag reads 100.
const char* const kFullModule = R"({"firmware": "4.079", "objects": {".1.1.3.0": {"value": 100}}})";

// The lowest descriptor number not in use: as a limit, it leaves no
// descriptor to open.
rlim_t LowestFreeDescriptor()
{
    const int probe = dup(STDIN_FILENO);  // takes the lowest free number
    close(probe);
    return rlim_t(probe);
}

QString Relative(const std::string& oid) { return QString::fromStdString(oid.substr(kPrefix.size())); }

// Types a value into a field: an address into an IP address control, text
// into an edit.
void Enter(CMainDlg& window, int field, const QString& value)
{
    if (window.IpCtrl(field))
        SetIp(window, field, value);
    else
        SetText(window, field, value);
}

QString Shown(const CMainDlg& window, int field)
{
    return window.IpCtrl(field) ? Ip(window, field) : Text(window, field);
}

// Records the status line at the moment each message box shows.
struct StatusAtBox : ScriptedUi {
    const CMainDlg* window = nullptr;
    QStringList statuses;
    int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned flags) override
    {
        statuses << (window ? Status(*window) : QString("(no window yet)"));
        return ScriptedUi::MessageBox(parent, text, caption, flags);
    }
};

}  // namespace

class TestSetters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // ---- What each button sends ----------------------------------------------

    void eachSetterWritesItsObject_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("oid");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");  // octet strings: their bytes in hex
        QTest::addColumn<QString>("message");

        QTest::newRow("IP") << 1041 << 1007 << "127.0.0.1"
                            << ".1.1.1.0"
                            << "a"
                            << "127.0.0.1"
                            << "Connection established! IP address changed.";
        QTest::newRow("network mask") << 1088 << 1009 << "255.255.255.240"
                                      << ".1.1.15.0"
                                      << "a"
                                      << "255.255.255.240"
                                      << "Connection established! Network Mask changed.";
        QTest::newRow("gateway") << 1091 << 1090 << "127.0.0.100"
                                 << ".1.1.14.0"
                                 << "a"
                                 << "127.0.0.100"
                                 << "Connection established! Default Gateway address changed.";
        QTest::newRow("TFTP server") << 1094 << 1093 << "127.0.0.69"
                                     << ".1.1.32.0"
                                     << "a"
                                     << "127.0.0.69"
                                     << "Connection established! TFTP Server IP address changed.";
        QTest::newRow("monitor IP") << 1097 << 1096 << "127.0.0.8"
                                    << ".1.1.16.0"
                                    << "a"
                                    << "127.0.0.8"
                                    << "Connection established! IP address for monitoring with ping changed.";
        QTest::newRow("access IP") << 1048 << 1013 << "127.0.4.0"
                                   << ".1.1.20.0"
                                   << "a"
                                   << "127.0.4.0"
                                   << "Connection established! Access IP address changed.";
        QTest::newRow("access mask") << 1102 << 1037 << "255.255.252.0"
                                     << ".1.1.21.0"
                                     << "a"
                                     << "255.255.252.0"
                                     << "Connection established! Access Mask address changed.";
        QTest::newRow("MAC lock 1") << 1042 << 1011 << "00 11 22 33 44 55"
                                    << ".1.1.5.0"
                                    << "s"
                                    << "00 11 22 33 44 55"
                                    << "Connection established! MAC Lock1 address changed.";
        QTest::newRow("MAC lock 2") << 1043 << 1010 << "0A 1B 2C 3D 4E 5F"
                                    << ".1.1.6.0"
                                    << "s"
                                    << "0A 1B 2C 3D 4E 5F"
                                    << "Connection established! MAC Lock2 address changed.";
        QTest::newRow("VLAN tag") << 1044 << 1015 << "2000"
                                  << ".1.1.3.0"
                                  << "i"
                                  << "2000" << kVlanChanged;
        QTest::newRow("ping restart") << 1046 << 1014 << "30"
                                      << ".1.1.7.0"
                                      << "i"
                                      << "30"
                                      << "Connection established! Ping Restart Timeout changed.";
        QTest::newRow("ping count") << 1080 << 1021 << "10"
                                    << ".1.1.13.0"
                                    << "i"
                                    << "9"
                                    << "Connection established! PingCount changed.";
        QTest::newRow("pulse width") << 1081 << 1033 << "2000"
                                     << ".1.1.12.0"
                                     << "i"
                                     << "2000"
                                     << "Connection established! RestartPulse changed.";
    }

    void eachSetterWritesItsObject()
    {
        QFETCH(int, button);
        QFETCH(int, field);
        QFETCH(QString, input);
        QFETCH(QString, oid);
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QString, message);
        SimModule sim(kFullModule);
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        Enter(*window, field, input);
        TestEnvironment::TakePauses();
        Press(*window, button);

        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(journal[0].op, std::string("set"));
        QCOMPARE(Relative(journal[0].oid), oid);
        QCOMPARE(QString::fromStdString(journal[0].type), type);
        QCOMPARE(QString::fromStdString(type == "s" ? journal[0].hex : journal[0].value), value);
        QCOMPARE(journal[0].community, std::string(kWriteCommunity));
        QCOMPARE(journal[0].reply, std::string("ok"));
        QCOMPARE(Status(*window), message);
        QCOMPARE(Shown(*window, field), input);
        QCOMPARE(TestEnvironment::TakePauses(), std::vector<unsigned> {150});
        QVERIFY(ui.Boxes().empty());
    }

    // ---- Values at the edges of their ranges -----------------------------------

    void numbersOnTheWire_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::newRow("VLAN 0") << 1044 << 1015 << "0"
                                << "0";
        QTest::newRow("VLAN 4095") << 1044 << 1015 << "4095"
                                   << "4095";
        QTest::newRow("VLAN with blanks") << 1044 << 1015 << "  42 "
                                          << "42";
        QTest::newRow("ping restart 1") << 1046 << 1014 << "1"
                                        << "1";
        QTest::newRow("ping restart 255") << 1046 << 1014 << "255"
                                          << "255";
        QTest::newRow("ping count 1") << 1080 << 1021 << "1"
                                      << "0";
        QTest::newRow("ping count 256") << 1080 << 1021 << "256"
                                        << "255";
        QTest::newRow("pulse 1") << 1081 << 1033 << "1"
                                 << "1";
        QTest::newRow("pulse 32767") << 1081 << 1033 << "32767"
                                     << "32767";
    }

    void numbersOnTheWire()
    {
        QFETCH(int, button);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        SimModule sim(kFullModule);
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, field, typed);
        Press(*window, button);
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(QString::fromStdString(journal[0].value), sent);
        QCOMPARE(journal[0].reply, std::string("ok"));
        QVERIFY(Status(*window).startsWith("Connection established!"));
        QCOMPARE(Text(*window, field), typed.trimmed());  // re-shown from the member
        QVERIFY(ui.Boxes().empty());
    }

    // ---- Numbers the window refuses ---------------------------------------------

    void badNumbers_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("sent");  // empty: nothing sent
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("shown");

        const QString vlanError = "ERROR in VLAN Tag value. Must be in the range [0..4095]";
        const QString pingError = "ERROR in Ping Restart Value. Must be in the range [1..255] minutes";
        const QString countError = "ERROR in PingCount Value. Must be in the range [1..255]";
        const QString pulseError = "ERROR in PingCount Value. Must be in the range [1..32767]";
        const QString vlanRange = "Please enter an integer between 0 and 4095.";
        const QString pingRange = "Please enter an integer between 1 and 255.";
        const QString countRange = "Please enter an integer between 1 and 256.";
        const QString pulseRange = "Please enter an integer between 1 and 32767.";

        // Out of range: the framework's box, then the setter's own message and
        // the reset value; nothing sent.
        QTest::newRow("VLAN 4096") << 1044 << 1015 << "4096" << vlanRange << "" << vlanError << "1";
        QTest::newRow("VLAN 4294967295") << 1044 << 1015 << "4294967295" << vlanRange << "" << vlanError << "1";
        QTest::newRow("ping restart 0") << 1046 << 1014 << "0" << pingRange << "" << pingError << "1";
        QTest::newRow("ping restart 256") << 1046 << 1014 << "256" << pingRange << "" << pingError << "1";
        QTest::newRow("ping count 0") << 1080 << 1021 << "0" << countRange << "" << countError << "256";
        QTest::newRow("ping count 257") << 1080 << 1021 << "257" << countRange << "" << countError << "256";
        QTest::newRow("pulse 0") << 1081 << 1033 << "0" << pulseRange << "" << pulseError << "512";
        QTest::newRow("pulse 32768") << 1081 << 1033 << "32768" << pulseRange << "" << pulseError << "512";

        // Not a number: nothing sent (the module would get the value read
        // earlier, which nobody typed); the typed text stays for correction.
        const QString refused = "Nothing sent: correct the marked field first.";
        for (const auto& [name, button, field, typed] : std::vector<std::tuple<const char*, int, int, QString>> {
                 {"VLAN letters", 1044, 1015, "abc"},
                 {"VLAN digits and letters", 1044, 1015, "12a"},
                 {"VLAN negative", 1044, 1015, "-5"},
                 {"VLAN beyond 32 bits", 1044, 1015, "4294967296"},
                 {"VLAN empty", 1044, 1015, ""},
                 {"ping restart letters", 1046, 1014, "six"},
                 {"ping count letters", 1080, 1021, "many"},
                 {"pulse decimal", 1081, 1033, "1.5"},
             })
            QTest::newRow(name) << button << field << typed << kPositiveInteger << "" << refused << typed;
    }

    void badNumbers()
    {
        QFETCH(int, button);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, box);
        QFETCH(QString, sent);
        QFETCH(QString, status);
        QFETCH(QString, shown);
        SimModule sim(kFullModule);
        StatusAtBox ui;
        auto window = ReadyWindow(sim);
        ui.window = window.get();
        SetText(*window, field, typed);
        Press(*window, button);

        QCOMPARE(ui.BoxTexts(), QStringList {box});
        QCOMPARE(ui.Boxes()[0].flags & MB_ICONMASK, unsigned(MB_ICONEXCLAMATION));
        QCOMPARE(ui.statuses, QStringList {kDataReceived});  // the box comes first
        QCOMPARE(Status(*window), status);
        QCOMPARE(Text(*window, field), shown);
        const auto journal = sim.Journal();
        if (sent.isEmpty()) {
            QVERIFY(journal.empty());
        } else {
            QCOMPARE(journal.size(), size_t(1));
            QCOMPARE(QString::fromStdString(journal[0].value), sent);
        }
    }

    // A field that fails validation stops the taking: the fields after it keep
    // their previous values, so what was typed there is neither sent nor kept.
    // ---- Address controls ------------------------------------------------------

    void setIpMovesTheModuleAddress()
    {
        SimModule old(R"({"firmware": "4.079", "objects": {".1.1.1.0": {"value": "127.0.0.2"}}})", "127.0.0.2");
        ScriptedUi ui;
        auto window = ReadyWindow(old);
        QCOMPARE(Ip(*window, IDC_IP), QString("127.0.0.2"));
        SetIp(*window, IDC_IP, "127.0.0.1");
        Press(*window, IDC_SET_IP);
        QCOMPARE(Status(*window), QString("Connection established! IP address changed."));
        QCOMPARE(old.Journal().size(), size_t(1));
        QCOMPARE(QString::fromStdString(old.Journal()[0].value), QString("127.0.0.1"));
        QCOMPARE(Ip(*window, IDC_MODULE_ADDRESS), QString("127.0.0.1"));

        // The next exchange goes to the new address.
        SimModule moved;
        moved.Use();
        old.ClearJournal();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString(kDataReceived));
        QVERIFY(!moved.Journal().empty());
        QVERIFY(old.Journal().empty());
    }

    void unansweredSetIpKeepsTheModuleAddress()
    {
        SimModule sim(R"({"firmware": "4.079", "faults": {".1.1.1.0": {"silence": true, "on": "set"}}})");
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetIp(*window, IDC_IP, "127.0.0.3");
        Press(*window, IDC_SET_IP);
        QCOMPARE(Status(*window), QString(kSnmpError).arg(-2));
        QCOMPARE(Ip(*window, IDC_MODULE_ADDRESS), QString("127.0.0.1"));
        QCOMPARE(Ip(*window, IDC_IP), QString("127.0.0.3"));
        QCOMPARE(sim.Journal().size(), size_t(1));
        QCOMPARE(sim.Journal()[0].reply, std::string("none"));
    }

    void refusedObjectReportsTheErrorWhileOthersAreWritten()
    {
        SimModule sim(R"({"firmware": "4.079", "faults": {".1.1.3.0": {"error": 3, "on": "set"}}})");
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, IDC_VLAN_TAG, "7");
        Press(*window, IDC_SET_VLAN_TAG);
        QCOMPARE(Status(*window), QString(kSnmpError).arg(-1));
        QCOMPARE(Text(*window, IDC_VLAN_TAG), QString("7"));  // nothing else changes
        Press(*window, IDC_SET_PING_RESTART);
        QCOMPARE(Status(*window), QString("Connection established! Ping Restart Timeout changed."));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(2));
        QCOMPARE(journal[0].reply, std::string("error"));
        QCOMPARE(journal[1].reply, std::string("ok"));
    }

    // ---- MAC lock texts ----------------------------------------------------------

    void macLockForms_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("blanks") << "00 11 22 33 44 55"
                                << "00 11 22 33 44 55";
        QTest::newRow("dashes, mixed case") << "00-1a-2B-3c-4D-5e"
                                            << "00 1A 2B 3C 4D 5E";
        QTest::newRow("colons") << "00:11:22:33:44:55"
                                << "00 11 22 33 44 55";
        QTest::newRow("twelve digits") << "a0b1c2d3e4f5"
                                       << "A0 B1 C2 D3 E4 F5";
        QTest::newRow("leading blank") << " 0a0b0c0d0e0f"
                                       << "0A 0B 0C 0D 0E 0F";
    }

    // Accepted forms go out as six bytes and read back in the window's own form.
    void macLockForms()
    {
        QFETCH(QString, typed);
        QFETCH(QString, bytes);
        SimModule sim(kFullModule);
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, IDC_MAC_LOCK2, typed);
        Press(*window, IDC_SET_MAC_LOCK2);
        QCOMPARE(Status(*window), QString("Connection established! MAC Lock2 address changed."));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(journal[0].type, std::string("s"));
        QCOMPARE(QString::fromStdString(journal[0].hex), bytes);
        QCOMPARE(journal[0].community, std::string(kWriteCommunity));

        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_MAC_LOCK2), bytes);
        QCOMPARE(Text(*window, IDC_MAC_LOCK1), QString("00 0A 1B 00 00 01"));
    }

    void macLockRefusals_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << 1042 << 1011 << "";
        QTest::newRow("five bytes") << 1042 << 1011 << "00 11 22 33 44";
        QTest::newRow("mixed separators") << 1042 << 1011 << "00-11-22:33:44:55";
        QTest::newRow("not hexadecimal") << 1043 << 1010 << "0G 11 22 33 44 55";
        QTest::newRow("single digits") << 1043 << 1010 << "0 1 2 3 4 5";
        QTest::newRow("eleven digits") << 1043 << 1010 << "00112233445";
        QTest::newRow("groups of four") << 1042 << 1011 << "0011.2233.4455";
    }

    void macLockRefusals()
    {
        QFETCH(int, button);
        QFETCH(int, field);
        QFETCH(QString, typed);
        SimModule sim(kFullModule);
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, field, typed);
        Press(*window, button);
        QCOMPARE(Status(*window), QString(kBadMacLock));
        QVERIFY(sim.Journal().empty());
        QVERIFY(ui.Boxes().empty());
        QCOMPARE(Text(*window, field), typed);  // left for the operator to correct
    }

    // ---- What an operator can type -------------------------------------------------

    void typingIsLimitedByTheFields()
    {
        SimModule sim(kFullModule);
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));

        // A MAC lock edit takes 17 characters: a seventh byte is cut off while
        // typing, so the 17-character validation never gets to refuse it.
        QLineEdit* lock = window->Item<QLineEdit>(IDC_MAC_LOCK1);
        lock->clear();
        QTest::keyClicks(lock, "00:11:22:33:44:55:66");
        QCOMPARE(lock->text(), QString("00:11:22:33:44:55"));
        Press(*window, IDC_SET_MAC_LOCK1);
        QVERIFY(ui.Boxes().empty());
        QCOMPARE(Status(*window), QString("Connection established! MAC Lock1 address changed."));
        QCOMPARE(QString::fromStdString(sim.Journal().at(0).hex), QString("00 11 22 33 44 55"));

        // Text set by the program is cut the same way.
        SetText(*window, IDC_MAC_LOCK2, "00-11-22-33-44-55-");
        QCOMPARE(Text(*window, IDC_MAC_LOCK2), QString("00-11-22-33-44-55"));

        // A community edit takes 12 characters.
        QLineEdit* community = window->Item<QLineEdit>(IDC_RW_COMMUNITY);
        community->clear();
        QTest::keyClicks(community, "abcdefghijklmno");
        QCOMPARE(community->text(), QString("abcdefghijkl"));

        // The number edits take any characters; validation catches them.
        QLineEdit* vlan = window->Item<QLineEdit>(IDC_VLAN_TAG);
        vlan->clear();
        QTest::keyClicks(vlan, "12a");
        QCOMPARE(vlan->text(), QString("12a"));

        // An address field takes numbers up to 255 only.
        CIPAddressCtrl* mask = window->IpCtrl(IDC_NETWORK_MASK);
        const char* typed[] = {"300", "ab", "255", "0"};
        for (int i = 0; i < 4; ++i) {
            mask->Field(i)->clear();
            QTest::keyClicks(mask->Field(i), typed[i]);
        }
        QCOMPARE(Ip(*window, IDC_NETWORK_MASK), QString("30.0.255.0"));
        QVERIFY(mask->Field(1)->text().isEmpty());
        SetText(*window, IDC_RW_COMMUNITY, kWriteCommunity);
        sim.ClearJournal();
        Press(*window, IDC_SET_NETWORK_MASK);
        QCOMPARE(ui.BoxTexts(), QStringList {kPositiveInteger});  // from the VLAN field
        QCOMPARE(Status(*window), QString("Nothing sent: correct the marked field first."));
        SetText(*window, IDC_VLAN_TAG, "100");
        Press(*window, IDC_SET_NETWORK_MASK);
        QCOMPARE(Status(*window), QString("ERROR in IP address. Fill in all four numbers."));  // field 2 blank
        QVERIFY(sim.Journal().empty());
    }

    // ---- No session -------------------------------------------------------------------

    // With no file descriptor left the SNMP session cannot be opened: the
    // request returns -3, which the window reports like any other failure.
    void sessionThatCannotBeOpenedIsAnError()
    {
        SimModule sim(kFullModule);
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, IDC_VLAN_TAG, "9");
        rlimit saved {};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &saved) == 0);
        rlimit none = saved;
        none.rlim_cur = LowestFreeDescriptor();
        QVERIFY(setrlimit(RLIMIT_NOFILE, &none) == 0);
        Press(*window, IDC_SET_VLAN_TAG);
        const QString setterStatus = Status(*window);
        Press(*window, IDC_READ_SETTINGS);
        const QString readStatus = Status(*window);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &saved) == 0);

        QCOMPARE(setterStatus, QString(kSnmpError).arg(-3));
        QCOMPARE(readStatus, QString(kSnmpError).arg(-3));
        QCOMPARE(Text(*window, IDC_VERSION), QString());  // a failed read clears the fields
        QVERIFY(sim.Journal().empty());
    }
};

QTEST_MAIN(TestSetters)
#include "test_win_setters.moc"
