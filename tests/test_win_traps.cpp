// The trap settings window against a simulated module: the read at opening
// and on demand, values as the module prints them, the difference write
// (only changed items, lows, highs, address, community), failed exchanges,
// and what an operator can type into the fields.

#include <QLineEdit>
#include <QtTest>

#include <memory>
#include <string>

#include "platform/IpAddressCtrl.h"
#include "res/TrapDlgIds.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"
#include "traps/TrapDlg.h"

using namespace drive;

namespace {

const char* const kReadCommunity = "582019374620";
const char* const kDataReceived = "Connection established! SNMP data received.";
const char* const kNoAnswer = "SNMP Error: Unable to connect to target host! (Error code -2)";
const char* const kErrorStatus = "SNMP Error: Unable to connect to target host! (Error code -1)";
const char* const kNothingChanged = "Nothing changed ...";

std::unique_ptr<CTrapDlg> Open(const SimModule& sim)
{
    sim.Use();
    auto window = std::make_unique<CTrapDlg>(SubWindowArgs {sim.Address(), "marbled", kReadCommunity});
    window->Create();
    return window;
}

// The journal: "oid" for reads with the read-only community, "oid type
// value" for writes with the read-write community, anything else in full.
QStringList Requests(const SimModule& sim)
{
    QStringList requests;
    for (const JournalEntry& e : sim.Journal()) {
        const QString oid = QString::fromStdString(e.oid).mid(18);
        if (e.op == "get" && e.community == kReadCommunity)
            requests << oid;
        else if (e.op == "set" && e.community == "marbled")
            requests << oid + " " + QString::fromStdString(e.type + " " + e.value);
        else
            requests << QString::fromStdString(e.op + " " + e.community + " ") + oid;
    }
    return requests;
}

QStringList ReadObjects()
{
    QStringList objects;
    for (int n = 1; n <= 16; ++n)
        objects << QStringLiteral(".1.1.122.%1.0").arg(n);
    return objects << ".1.1.18.0"
                   << ".1.1.19.0";
}

// A field by name: "L3" low of channel 3, "H8" high of channel 8, "C" the
// community.
int Field(const QString& name)
{
    if (name == "C")
        return IDC_TRAP_COMMUNITY;
    const int channel = name.mid(1).toInt() - 1;
    return name[0] == 'L' ? kLowThresholdEdits[channel] : kHighThresholdEdits[channel];
}

void Edit(CTrapDlg& window, const QString& field, const QString& value)
{
    if (field == "IP")
        SetIp(window, IDC_TRAP_SERVER, value);
    else
        SetText(window, Field(field), value);
}

}  // namespace

class TestTraps : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    void openingReadsAllEighteenObjects()
    {
        SimModule sim;
        auto window = Open(sim);
        QCOMPARE(window->windowTitle(), QString("SNMP Trap Settings"));
        QCOMPARE(Requests(sim), ReadObjects());
        QCOMPARE(Status(*window), kDataReceived);
        for (int k = 0; k < kTrapChannels; ++k) {
            QCOMPARE(Text(*window, kLowThresholdEdits[k]), QString::number(100 + k));
            QCOMPARE(Text(*window, kHighThresholdEdits[k]), QString::number(900 + k));
        }
        QCOMPARE(Ip(*window, IDC_TRAP_SERVER), QString("127.0.0.162"));
        QCOMPARE(Text(*window, IDC_TRAP_COMMUNITY), QString("traps"));
        QVERIFY(Enabled(*window, IDC_WRITE_TRAP_SETTINGS));
    }

    // What the window shows of a module value; a write without an edit then
    // changes nothing, whatever form the value had.
    void readValueShownAndKept_data()
    {
        QTest::addColumn<QString>("object");  // JSON object entries
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0x12345") << R"(".1.1.122.1.0": {"value": 74565})"
                                 << "L1"
                                 << "9029";
        QTest::newRow("-1") << R"(".1.1.122.16.0": {"value": -1})"
                            << "H8"
                            << "65535";
        QTest::newRow("12 characters") << R"(".1.1.19.0": {"value": "abcdefghijkl"})"
                                       << "C"
                                       << "abcdefghijkl";
        QTest::newRow("longer") << R"(".1.1.19.0": {"value": "abcdefghijklmnop"})"
                                << "C"
                                << "abcdefghijkl";
        QTest::newRow("empty") << R"(".1.1.19.0": {"value": ""})"
                               << "C"
                               << "";
        // Net-SNMP prints a quotation mark or backslash with a backslash before it.
        QTest::newRow("escapes") << "\".1.1.19.0\": {\"value\": \"a\\\\b\\\"cdefghijkl\"}"
                                 << "C"
                                 << "a\\b\"cdefghij";
        // Bytes that do not print make Net-SNMP dump the string in hex.
        QTest::newRow("hex Latin-1") << R"(".1.1.19.0": {"type": "x", "value": "74 72 61 70 E9"})"
                                     << "C" << QString::fromUtf8("trapé");
        QTest::newRow("hex zero padded") << R"(".1.1.19.0": {"type": "x", "value": "74 72 61 70 00 00"})"
                                         << "C"
                                         << "trap";
        QTest::newRow("hex long") << R"(".1.1.19.0": {"type": "x", "value": "E0E1E2E3E4E5E6E7E8E9EAEBECED"})"
                                  << "C" << QString::fromLatin1("\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB");
    }

    void readValueShownAndKept()
    {
        QFETCH(QString, object);
        QFETCH(QString, field);
        QFETCH(QString, shown);
        SimModule sim(("{\"objects\": {" + object + "}}").toStdString());
        auto window = Open(sim);
        QCOMPARE(Text(*window, Field(field)), shown);
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kNothingChanged);
        QCOMPARE(Requests(sim), QStringList());
    }

    // Unanswered at opening: nothing shown and no write. A later failed read
    // keeps the write enabled; a read discards unsent edits.
    void readFailures()
    {
        SimModule silent(R"({"faults": {".1.1.122.5.0": {"silence": true}}})");
        auto window = Open(silent);
        QCOMPARE(Status(*window), kNoAnswer);
        QCOMPARE(Text(*window, kLowThresholdEdits[0]), QString("0"));
        QCOMPARE(Text(*window, IDC_TRAP_COMMUNITY), QString());
        QVERIFY(!Enabled(*window, IDC_WRITE_TRAP_SETTINGS));

        SimModule sim;
        sim.Use();
        Press(*window, IDC_READ_TRAP_SETTINGS);
        Edit(*window, "L1", "5");
        silent.Use();
        Press(*window, IDC_READ_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kNoAnswer);
        QVERIFY(Enabled(*window, IDC_WRITE_TRAP_SETTINGS));
        QCOMPARE(Text(*window, kLowThresholdEdits[0]), QString("100"));
    }

    void writeSendsOnlyTheChanges_data()
    {
        QTest::addColumn<QStringList>("edits");  // field=value
        QTest::addColumn<QStringList>("sent");

        QTest::newRow("high of channel 3") << QStringList {"H3=1023"} << QStringList {".1.1.122.6.0 i 1023"};
        QTest::newRow("community") << QStringList {"C=abcdefghijkl"} << QStringList {".1.1.19.0 s abcdefghijkl"};
        QTest::newRow("low 8, high 1, address") << QStringList {"IP=127.0.0.9", "H1=1000",
            "L8=5"} << QStringList {".1.1.122.15.0 i 5", ".1.1.122.2.0 i 1000", ".1.1.18.0 a 127.0.0.9"};
        QTest::newRow("0.0.0.0") << QStringList {"IP=0.0.0.0"} << QStringList {".1.1.18.0 a 0.0.0.0"};
        QTest::newRow("all kinds, typed backwards")
            << QStringList {"C=x", "IP=127.0.0.2", "H7=0", "H2= 1 ", "L6=65535", "L2=0"}
            << QStringList {".1.1.122.3.0 i 0", ".1.1.122.11.0 i 65535", ".1.1.122.4.0 i 1", ".1.1.122.14.0 i 0",
                   ".1.1.18.0 a 127.0.0.2", ".1.1.19.0 s x"};
        QTest::newRow("nothing") << QStringList() << QStringList();
        QTest::newRow("typed back as read") << QStringList {"L1=0100", "C=traps", "IP=127.0.0.162"} << QStringList();
    }

    void writeSendsOnlyTheChanges()
    {
        QFETCH(QStringList, edits);
        QFETCH(QStringList, sent);
        SimModule sim;
        auto window = Open(sim);
        for (const QString& edit : edits)
            Edit(*window, edit.section('=', 0, 0), edit.section('=', 1));
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        if (sent.isEmpty()) {
            QCOMPARE(Requests(sim), QStringList());
            QCOMPARE(Status(*window), kNothingChanged);
            return;
        }
        // The read that follows makes the written values the new reference.
        QCOMPARE(Requests(sim), sent + ReadObjects());
        QCOMPARE(Status(*window), kDataReceived);
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kNothingChanged);
    }

    // The edits and the as-read values outlive a failed write: the next
    // press sends the same changes.
    void failedWriteSendsTheSameChangesAgain()
    {
        SimModule sim(R"({"faults": {".1.1.122.6.0": {"error": 3, "on": "set", "times": 1}}})");
        auto window = Open(sim);
        Edit(*window, "L1", "7");
        Edit(*window, "H3", "1023");
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        const QStringList changes = {".1.1.122.1.0 i 7", ".1.1.122.6.0 i 1023"};
        QCOMPARE(Requests(sim), changes);
        QCOMPARE(Status(*window), kErrorStatus);
        QCOMPARE(Text(*window, kHighThresholdEdits[2]), QString("1023"));
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Requests(sim), changes + ReadObjects());
    }

    // Every threshold edit with every kind of bad number, a community outside
    // Latin-1, a blank address field: refused before anything is sent, the
    // typed text left for correction.
    void badFieldsSendNothing()
    {
        SimModule sim;
        auto window = Open(sim);
        sim.ClearJournal();
        ScriptedUi ui;
        const QString integer = "Please enter an integer.";
        const QString range = "Please enter an integer between 0 and 65535.";
        const QStringList inputs
            = {"abc", "12x", "", "   ", "1 2", "99999999999999999999", "-5", "65536", "-2147483648"};
        const QStringList messages = {integer, integer, integer, integer, integer, integer, range, range, range};
        Edit(*window, "C", "changed");  // a change that must not go out with a bad field
        for (int k = 0; k < 2 * kTrapChannels; ++k) {
            const int id = k < kTrapChannels ? kLowThresholdEdits[k] : kHighThresholdEdits[k - kTrapChannels];
            const QString before = Text(*window, id);
            for (int i = 0; i < inputs.size(); ++i) {
                SetText(*window, id, inputs[i]);
                ui.ClearBoxes();
                Press(*window, IDC_WRITE_TRAP_SETTINGS);
                const QString where = QStringLiteral("edit %1 \"%2\"").arg(id).arg(inputs[i]);
                QVERIFY2(ui.BoxTexts() == QStringList {messages[i]}, qPrintable(where));
                QVERIFY2(Status(*window) == "Nothing sent: correct the marked field first.", qPrintable(where));
                QVERIFY2(Text(*window, id) == inputs[i], qPrintable(where));
            }
            SetText(*window, id, before);
        }
        ui.ClearBoxes();

        Edit(*window, "C", QString::fromUtf8("trap\u017E"));
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Status(*window),
            QString("ERROR in community string. Only 8-bit (Latin-1) characters can be sent to the module."));
        QCOMPARE(Text(*window, IDC_TRAP_COMMUNITY), QString::fromUtf8("trap\u017E"));

        Edit(*window, "C", "changed");
        for (int field = 0; field < 4; ++field) {
            SetIp(*window, IDC_TRAP_SERVER, "127.0.0.5");
            window->IpCtrl(IDC_TRAP_SERVER)->Field(field)->clear();
            Press(*window, IDC_WRITE_TRAP_SETTINGS);
            QCOMPARE(Status(*window), QString("ERROR in IP address. Fill in all four numbers."));
        }
        QCOMPARE(Requests(sim), QStringList());
        QVERIFY(ui.Boxes().empty());
    }

    // The community edit takes at most 12 characters; Latin-1 goes out as
    // its own bytes.
    void communityAsTyped()
    {
        SimModule sim;
        auto window = Open(sim);
        auto* community = qobject_cast<QLineEdit*>(Control(*window, IDC_TRAP_COMMUNITY));
        community->clear();
        QTest::keyClicks(community, "abcdefghijklmnop");
        QCOMPARE(community->text(), QString("abcdefghijkl"));
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Requests(sim).first(), QString(".1.1.19.0 s abcdefghijkl"));

        Edit(*window, "C", QString::fromUtf8("trapé"));
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        const auto sets = sim.Journal(".1.3.6.1.4.1.19865.1.1.19.0");
        QVERIFY(!sets.empty());
        QCOMPARE(QString::fromStdString(sets.front().hex), QString("74 72 61 70 E9"));
    }
};

QTEST_MAIN(TestTraps)
#include "test_win_traps.moc"
