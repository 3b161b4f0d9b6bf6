// The trap settings window against a simulated module: the read at opening
// and on demand, the community as the module prints it, the difference write
// (only changed items, in the order lows, highs, address, community), failed
// exchanges, and what an operator can type into the fields.

#include <QLineEdit>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "platform/IpAddressCtrl.h"
#include "res/TrapDlgIds.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"
#include "traps/TrapDlg.h"

using namespace drive;

namespace {

const std::string kPrefix = ".1.3.6.1.4.1.19865";
const char* const kReadCommunity = "582019374620";
const char* const kWriteCommunity = "marbled";
const char* const kDataReceived = "Connection established! SNMP data received.";
const char* const kNoAnswer = "SNMP Error: Unable to connect to target host! (Error code -2)";
const char* const kErrorStatus = "SNMP Error: Unable to connect to target host! (Error code -1)";
const char* const kNothingChanged = "Nothing changed ...";
const char* const kNothingSent = "Nothing sent: correct the marked field first.";
const char* const kBlankAddress = "ERROR in IP address. Fill in all four numbers.";

std::unique_ptr<CTrapDlg> Open(const SimModule& sim)
{
    sim.Use();
    auto window = std::make_unique<CTrapDlg>(SubWindowArgs {sim.Address(), kWriteCommunity, kReadCommunity});
    window->Create();
    return window;
}

QString Relative(const std::string& oid) { return QString::fromStdString(oid.substr(kPrefix.size())); }

// Writes of the journal as "oid type value".
QStringList Sets(const SimModule& sim)
{
    QStringList sets;
    for (const JournalEntry& entry : sim.Journal()) {
        if (entry.op != "set")
            continue;
        QString set = Relative(entry.oid) + " " + QString::fromStdString(entry.type + " " + entry.value);
        if (entry.community != kWriteCommunity)
            set += " with " + QString::fromStdString(entry.community);
        sets << set;
    }
    return sets;
}

QStringList Gets(const SimModule& sim)
{
    QStringList gets;
    for (const JournalEntry& entry : sim.Journal()) {
        if (entry.op == "get" && entry.community == kReadCommunity)
            gets << Relative(entry.oid);
    }
    return gets;
}

// The 18 objects of a read, in order.
QStringList ReadObjects()
{
    QStringList objects;
    for (int n = 1; n <= 16; ++n)
        objects << QStringLiteral(".1.1.122.%1.0").arg(n);
    return objects << ".1.1.18.0"
                   << ".1.1.19.0";
}

// An edit by field: "L3" low of channel 3, "H8" high of channel 8, "IP" the
// server address, "C" the community.
void Edit(CTrapDlg& window, const QString& field, const QString& value)
{
    const int channel = field.mid(1).toInt() - 1;
    if (field == "IP")
        SetIp(window, IDC_TRAP_SERVER, value);
    else if (field == "C")
        SetText(window, IDC_TRAP_COMMUNITY, value);
    else if (field[0] == 'L')
        SetText(window, kLowThresholdEdits[channel], value);
    else
        SetText(window, kHighThresholdEdits[channel], value);
}

QStringList Thresholds(const CTrapDlg& window)
{
    QStringList values;
    for (int k = 0; k < kTrapChannels; ++k)
        values << Text(window, kLowThresholdEdits[k]) + "/" + Text(window, kHighThresholdEdits[k]);
    return values;
}

// The sim's default thresholds: low 100 + k, high 900 + k.
QStringList DefaultThresholds()
{
    QStringList values;
    for (int k = 0; k < kTrapChannels; ++k)
        values << QStringLiteral("%1/%2").arg(100 + k).arg(900 + k);
    return values;
}

}  // namespace

class TestTraps : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // ---- Reading -----------------------------------------------------------------

    void openingReadsAllEighteenObjects()
    {
        SimModule sim;
        auto window = Open(sim);
        QCOMPARE(window->windowTitle(), QString("SNMP Trap Settings"));
        QCOMPARE(Gets(sim), ReadObjects());
        QCOMPARE(int(sim.Journal().size()), 18);
        QCOMPARE(Status(*window), kDataReceived);
        QCOMPARE(Thresholds(*window), DefaultThresholds());
        QCOMPARE(Ip(*window, IDC_TRAP_SERVER), QString("127.0.0.162"));
        QCOMPARE(Text(*window, IDC_TRAP_COMMUNITY), QString("traps"));
        QVERIFY(Enabled(*window, IDC_WRITE_TRAP_SETTINGS));
    }

    void thresholdsAreSixteenBits_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0x12345") << "74565"
                                 << "9029";
        QTest::newRow("0xFFFF") << "65535"
                                << "65535";
        QTest::newRow("-1") << "-1"
                            << "65535";
        QTest::newRow("0x10000") << "65536"
                                 << "0";
    }

    void thresholdsAreSixteenBits()
    {
        QFETCH(QString, value);
        QFETCH(QString, shown);
        SimModule sim(QStringLiteral(R"({"objects": {".1.1.122.1.0": {"value": %1}, ".1.1.122.16.0": {"value": %1}}})")
                          .arg(value)
                          .toStdString());
        auto window = Open(sim);
        QCOMPARE(Text(*window, kLowThresholdEdits[0]), shown);
        QCOMPARE(Text(*window, kHighThresholdEdits[7]), shown);
        // What is shown is what the write compares with.
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kNothingChanged);
        QCOMPARE(Sets(sim), QStringList());
    }

    // The community as the module prints it: quoted text is cut as the read
    // says, a hexadecimal dump is decoded; either way a write without an edit
    // changes nothing.
    void communityAsPrinted_data()
    {
        QTest::addColumn<QString>("object");  // JSON of the .1.1.19.0 entry
        QTest::addColumn<QString>("shown");
        QTest::newRow("12 characters") << R"({"type": "s", "value": "abcdefghijkl"})"
                                       << "abcdefghijkl";
        QTest::newRow("longer") << R"({"type": "s", "value": "abcdefghijklmnop"})"
                                << "abcdefghijkl";
        QTest::newRow("empty") << R"({"type": "s", "value": ""})"
                               << "";
        // Net-SNMP prints a quotation mark or backslash of the value with a
        // backslash before it.
        QTest::newRow("quotation mark") << "{\"type\": \"s\", \"value\": \"ab\\\"cd\"}"
                                        << "ab\"cd";
        QTest::newRow("backslashes") << "{\"type\": \"s\", \"value\": \"a\\\\b\\\\cdefgh\\\"ij\"}"
                                     << "a\\b\\cdefgh\"i";
        QTest::newRow("Latin-1 in hex") << R"({"type": "x", "value": "74 72 61 70 E9"})" << QString::fromUtf8("trapé");
        QTest::newRow("zero padded") << R"({"type": "x", "value": "74 72 61 70 73 00 00 00"})"
                                     << "traps";
        QTest::newRow("long hex") << R"({"type": "x", "value": "E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF F0"})"
                                  << QString::fromLatin1("\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB");
    }

    void communityAsPrinted()
    {
        QFETCH(QString, object);
        QFETCH(QString, shown);
        SimModule sim(QStringLiteral(R"({"objects": {".1.1.19.0": %1}})").arg(object).toStdString());
        auto window = Open(sim);
        QCOMPARE(Text(*window, IDC_TRAP_COMMUNITY), shown);
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kNothingChanged);
        QCOMPARE(Sets(sim), QStringList());
        // An edit sends the bytes of the text, not a hex form.
        const QString edited = ("#" + shown).left(kTrapCommunityLength);
        SetText(*window, IDC_TRAP_COMMUNITY, edited);
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        const std::vector<JournalEntry> journal = sim.Journal(kPrefix + ".1.1.19.0");
        QVERIFY(!journal.empty() && journal.front().op == "set");
        QCOMPARE(QString::fromStdString(journal.front().value), edited);
    }

    void unansweredOpeningLeavesWriteDisabled()
    {
        SimModule sim(R"({"faults": {".1.1.122.5.0": {"silence": true}}})");
        auto window = Open(sim);
        QCOMPARE(Status(*window), kNoAnswer);
        QCOMPARE(Thresholds(*window), QStringList(kTrapChannels, "0/0"));
        QCOMPARE(Text(*window, IDC_TRAP_COMMUNITY), QString());
        QVERIFY(!Enabled(*window, IDC_WRITE_TRAP_SETTINGS));
    }

    // A later failed read keeps the fields and the enabled write; Read
    // Settings does not take the fields first, so unsent edits give way.
    void readOnDemand()
    {
        SimModule sim;
        auto window = Open(sim);
        Edit(*window, "L1", "5");
        Edit(*window, "C", "edited");

        SimModule silent(R"({"faults": {".1.1.19.0": {"silence": true}}})");
        silent.Use();
        Press(*window, IDC_READ_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kNoAnswer);
        QVERIFY(Enabled(*window, IDC_WRITE_TRAP_SETTINGS));
        QCOMPARE(Text(*window, kLowThresholdEdits[0]), QString("100"));  // the members, pushed again
        QCOMPARE(Text(*window, IDC_TRAP_COMMUNITY), QString("traps"));

        SimModule other(R"({"objects": {".1.1.122.3.0": {"value": 7}, ".1.1.18.0": {"value": "127.1.2.3"}}})");
        other.Use();
        Press(*window, IDC_READ_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kDataReceived);
        QCOMPARE(Text(*window, kLowThresholdEdits[1]), QString("7"));
        QCOMPARE(Ip(*window, IDC_TRAP_SERVER), QString("127.1.2.3"));
    }

    // ---- Writing -----------------------------------------------------------------

    void writeSendsOnlyTheChanges_data()
    {
        QTest::addColumn<QStringList>("edits");  // field=value
        QTest::addColumn<QStringList>("sent");

        QTest::newRow("high of channel 3") << QStringList {"H3=1023"} << QStringList {".1.1.122.6.0 i 1023"};
        QTest::newRow("community only") << QStringList {"C=newtraps"} << QStringList {".1.1.19.0 s newtraps"};
        QTest::newRow("low 8, high 1, address")
            << QStringList {"IP=127.0.0.9", "H1=1000", "L8=5"}
            << QStringList {".1.1.122.15.0 i 5", ".1.1.122.2.0 i 1000", ".1.1.18.0 a 127.0.0.9"};
        QTest::newRow("address 0.0.0.0") << QStringList {"IP=0.0.0.0"} << QStringList {".1.1.18.0 a 0.0.0.0"};
        QTest::newRow("one of each, typed backwards")
            << QStringList {"C=x", "IP=127.0.0.2", "H7=0", "H2=1", "L6=0", "L2=1023"}
            << QStringList {".1.1.122.3.0 i 1023", ".1.1.122.11.0 i 0", ".1.1.122.4.0 i 1", ".1.1.122.14.0 i 0",
                   ".1.1.18.0 a 127.0.0.2", ".1.1.19.0 s x"};
        QTest::newRow("12-character community") << QStringList {"C=abcdefghijkl"}
                                                << QStringList {".1.1.19.0 s abcdefghijkl"};
        QTest::newRow("blanks around a number") << QStringList {"L4= 42 "} << QStringList {".1.1.122.7.0 i 42"};
        QTest::newRow("limits") << QStringList {"L1=0", "H1=65535"}
                                << QStringList {".1.1.122.1.0 i 0", ".1.1.122.2.0 i 65535"};
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
        ScriptedUi ui;
        Press(*window, IDC_WRITE_TRAP_SETTINGS);

        QCOMPARE(Sets(sim), sent);
        QVERIFY(ui.Boxes().empty());
        if (sent.isEmpty()) {
            QCOMPARE(Status(*window), kNothingChanged);
            QCOMPARE(int(sim.Journal().size()), 0);
            return;
        }
        // The read that follows shows what the module now holds, and the next
        // write compares with it.
        QCOMPARE(Gets(sim), ReadObjects());
        QCOMPARE(Status(*window), kDataReceived);
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kNothingChanged);
        QCOMPARE(int(sim.Journal().size()), 0);
    }

    // The edits and the as-read values outlive a failed write, so the next
    // press sends the same changes.
    void failedWriteSendsTheSameChangesAgain()
    {
        SimModule sim(R"({"faults": {".1.1.122.6.0": {"error": 3, "on": "set", "times": 1}}})");
        auto window = Open(sim);
        Edit(*window, "L1", "7");
        Edit(*window, "H3", "1023");
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kErrorStatus);
        QCOMPARE(Text(*window, kLowThresholdEdits[0]), QString("7"));
        QCOMPARE(Text(*window, kHighThresholdEdits[2]), QString("1023"));
        QCOMPARE(Gets(sim), QStringList());  // no read after a failed write

        const QStringList changes = {".1.1.122.1.0 i 7", ".1.1.122.6.0 i 1023"};
        QCOMPARE(Sets(sim), changes);
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Sets(sim), changes);
        QCOMPARE(Status(*window), kDataReceived);
        QCOMPARE(Text(*window, kHighThresholdEdits[2]), QString("1023"));
    }

    void unansweredWriteKeepsTheEdits()
    {
        SimModule sim(R"({"faults": {".1.1.18.0": {"silence": true, "on": "set"}}})");
        auto window = Open(sim);
        Edit(*window, "IP", "127.0.0.77");
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kNoAnswer);
        QCOMPARE(Ip(*window, IDC_TRAP_SERVER), QString("127.0.0.77"));
    }

    // ---- What an operator can type ---------------------------------------------

    // Every threshold edit with every kind of bad number: the framework's
    // message, nothing sent, the typed text left for correction.
    void badThresholdsSendNothing()
    {
        SimModule sim;
        auto window = Open(sim);
        sim.ClearJournal();
        ScriptedUi ui;
        const QString integer = "Please enter an integer.";
        const QString range = "Please enter an integer between 0 and 65535.";
        const struct {
            const char* typed;
            QString message;
        } kInputs[] = {
            {"abc", integer},
            {"12x", integer},
            {"", integer},
            {"   ", integer},
            {"1 2", integer},
            {"99999999999999999999", integer},
            {"-5", range},
            {"65536", range},
            {"2147483647", range},
            {"-2147483648", range},
        };
        std::vector<int> edits(std::begin(kLowThresholdEdits), std::end(kLowThresholdEdits));
        edits.insert(edits.end(), std::begin(kHighThresholdEdits), std::end(kHighThresholdEdits));
        for (int id : edits) {
            const QString before = Text(*window, id);
            Edit(*window, "C", "changed");  // a change that must not go out with the bad field
            for (const auto& input : kInputs) {
                SetText(*window, id, input.typed);
                ui.ClearBoxes();
                Press(*window, IDC_WRITE_TRAP_SETTINGS);
                const QString where = QStringLiteral("edit %1, \"%2\"").arg(id).arg(input.typed);
                QVERIFY2(ui.BoxTexts() == QStringList {input.message}, qPrintable(where + ": " + ui.BoxTexts().join('|')));
                QVERIFY2(Status(*window) == kNothingSent, qPrintable(where));
                QVERIFY2(Text(*window, id) == input.typed, qPrintable(where));
            }
            SetText(*window, id, before);
        }
        QCOMPARE(int(sim.Journal().size()), 0);
    }

    // The edit holds at most 12 characters: more typed are not taken.
    void overlongCommunityIsCut()
    {
        SimModule sim;
        auto window = Open(sim);
        auto* community = qobject_cast<QLineEdit*>(Control(*window, IDC_TRAP_COMMUNITY));
        community->clear();
        QTest::keyClicks(community, "abcdefghijklmnop");
        QCOMPARE(community->text(), QString("abcdefghijkl"));
        sim.ClearJournal();
        ScriptedUi ui;
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Sets(sim), QStringList {".1.1.19.0 s abcdefghijkl"});
    }

    void communityOutsideLatin1IsRefused()
    {
        SimModule sim;
        auto window = Open(sim);
        Edit(*window, "C", QString::fromUtf8("trap\u017E"));
        Edit(*window, "L1", "1");
        sim.ClearJournal();
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Sets(sim), QStringList());
        QVERIFY(Status(*window).startsWith("ERROR in Community string."));
        QCOMPARE(Text(*window, IDC_TRAP_COMMUNITY), QString::fromUtf8("trap\u017E"));
        // Latin-1 beyond ASCII is fine and goes out as its own byte.
        Edit(*window, "C", QString::fromUtf8("trapé"));
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        const std::vector<JournalEntry> sets = sim.Journal(kPrefix + ".1.1.19.0");
        QVERIFY(!sets.empty());
        QCOMPARE(QString::fromStdString(sets.front().hex), QString("74 72 61 70 E9"));
    }

    void blankAddressFieldIsRefused_data()
    {
        QTest::addColumn<int>("field");
        for (int field = 0; field < 4; ++field)
            QTest::addRow("field %d", field + 1) << field;
    }

    void blankAddressFieldIsRefused()
    {
        QFETCH(int, field);
        SimModule sim;
        auto window = Open(sim);
        Edit(*window, "H8", "1000");
        window->IpCtrl(IDC_TRAP_SERVER)->Field(field)->clear();
        sim.ClearJournal();
        ScriptedUi ui;
        Press(*window, IDC_WRITE_TRAP_SETTINGS);
        QCOMPARE(Status(*window), kBlankAddress);
        QCOMPARE(int(sim.Journal().size()), 0);
        QVERIFY(window->IpCtrl(IDC_TRAP_SERVER)->Field(field)->text().isEmpty());
        QCOMPARE(Text(*window, kHighThresholdEdits[7]), QString("1000"));
    }
};

QTEST_MAIN(TestTraps)
#include "test_win_traps.moc"
