// "Set Modes" against simulated modules: the words built from the sixteen
// check boxes, the three write plans chosen by the firmware minor with their
// order on the wire and the pause between two passes, failing passes, and
// firmware without a plan.

#include <QtTest>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

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

const char* const kWord1 = ".1.1.9.0";
const char* const kWord2 = ".1.1.11.0";
const char* const kSharedCommunity = "582019374620";
const char* const kModeChanged = "Connection established! Mode changed.";
const char* const kNoPlan
    = "Operating modes not changed: nothing can be written for this firmware version (read the settings first).";
const std::vector<int> kModeBoxes
    = {1016, 1017, 1018, 1019, 1020, 1022, 1023, 1024, 1026, 1031, 1032, 1083, 1084, 1085, 1086, 1087};

// A module of this firmware. Firmware 4.060 to 4.066 writes with the read-only
// string ("Read Settings" copies it into the R/W field), so such a module
// takes that one string for writes as well.
std::string Module(const QString& firmware, const QString& faults = "{}")
{
    const bool oneString = QStringList {"4.060", "4.062", "4.065", "4.066"}.contains(firmware);
    const QString communities
        = oneString ? QString(R"("readCommunity": "%1", "writeCommunity": "%1", )").arg(kSharedCommunity) : QString();
    return QString(R"({%1"firmware": "%2", "faults": %3})").arg(communities, firmware, faults).toStdString();
}

void CheckOnly(CMainDlg& window, const std::vector<int>& boxes)
{
    for (int id : kModeBoxes)
        SetChecked(window, id, std::find(boxes.begin(), boxes.end(), id) != boxes.end());
}

// The writes the module received, as "object=value reply".
QStringList Writes(const SimModule& sim)
{
    QStringList writes;
    for (const JournalEntry& entry : sim.Journal()) {
        QString line = QString::fromStdString(entry.oid.substr(kPrefix.size()) + "=" + entry.value + " " + entry.reply);
        if (entry.op != "set" || entry.type != "i")
            line += " (" + QString::fromStdString(entry.op + " " + entry.type) + ")";
        writes << line;
    }
    return writes;
}

QString Write(const char* object, int value, const char* reply = "ok")
{
    return QString("%1=%2 %3").arg(object).arg(value).arg(reply);
}

}  // namespace

class TestModes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // ---- Words built from the boxes ---------------------------------------------

    void eachBoxSetsItsBit_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("word1");
        QTest::addColumn<int>("word2");
        const int word1Boxes[] = {1016, 1017, 1018, 1019, 1020, 1022, 1023, 1024};
        const int word2Boxes[] = {1026, 1031, 1032, 1083, 1084, 1085, 1086, 1087};
        for (int bit = 0; bit < 8; ++bit) {
            QTest::addRow("%d", word1Boxes[bit]) << word1Boxes[bit] << (1 << bit) << 0;
            QTest::addRow("%d", word2Boxes[bit]) << word2Boxes[bit] << 0 << (1 << bit);
        }
    }

    // The boxes are checked even where the firmware level disables them: the
    // words follow the check marks, not the captions.
    void eachBoxSetsItsBit()
    {
        QFETCH(int, box);
        QFETCH(int, word1);
        QFETCH(int, word2);
        SimModule sim(R"({"firmware": "4.073"})");
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        CheckOnly(*window, {box});
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Writes(sim), (QStringList {Write(kWord1, word1), Write(kWord2, word2)}));
        QCOMPARE(window->ModeWord1(), uint32_t(word1));
        QCOMPARE(window->ModeWord2(), uint32_t(word2));
        QCOMPARE(Status(*window), QString(kModeChanged));
        for (int id : kModeBoxes)  // the boxes are left as they were
            QVERIFY2(Checked(*window, id) == (id == box), qPrintable(QString::number(id)));
    }

    // ---- Plans by firmware minor ------------------------------------------------

    void singleWordPlan_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::newRow("4.040") << "4.040";
        QTest::newRow("4.050") << "4.050";
        QTest::newRow("4.061") << "4.061";
    }

    void singleWordPlan()
    {
        QFETCH(QString, firmware);
        SimModule sim(Module(firmware));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        CheckOnly(*window, {IDC_MODE_SNMP_ACCESS, IDC_MODE_P6_ANALOG, IDC_MODE_SAVE_IO, IDC_MODE_EXTRA_FIRST});
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Writes(sim), QStringList {Write(kWord1, 129)});
        QCOMPARE(sim.Journal()[0].community, std::string("marbled"));
        QCOMPARE(TestEnvironment::TakePauses(), std::vector<unsigned> {150});
        QCOMPARE(Status(*window), QString(kModeChanged));
        QCOMPARE(window->ModeWord2(), 9u);  // built, though not written
    }

    void bothWordsInOneRequest_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::newRow("4.060") << "4.060";
        QTest::newRow("4.062") << "4.062";
        QTest::newRow("4.065") << "4.065";
        QTest::newRow("4.066") << "4.066";
    }

    void bothWordsInOneRequest()
    {
        QFETCH(QString, firmware);
        SimModule sim(Module(firmware));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        CheckOnly(*window, {});
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Writes(sim), (QStringList {Write(kWord1, 0), Write(kWord2, 0)}));
        QCOMPARE(sim.Journal()[0].community, std::string(kSharedCommunity));
        QCOMPARE(TestEnvironment::TakePauses(), std::vector<unsigned> {150});
        QCOMPARE(Status(*window), QString(kModeChanged));

        sim.ClearJournal();
        CheckOnly(*window, {IDC_MODE_SNMP_ACCESS, IDC_MODE_P6_ANALOG, IDC_MODE_IO_RESET});
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Writes(sim), (QStringList {Write(kWord1, 129), Write(kWord2, 4)}));
    }

    // Only "TFTP enabled": the first pass writes 0, four seconds later the
    // second writes 8, and the firmware update may then go ahead.
    void twoPassesFromMinor70()
    {
        SimModule sim(R"({"firmware": "4.073", "objects": {".1.1.11.0": {"value": 0}}})");
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        Press(*window, IDC_FIRMWARE_UPDATE);
        QCOMPARE(Status(*window), QString("Command aborted!"));
        ui.ClearBoxes();

        CheckOnly(*window, {IDC_MODE_EXTRA_FIRST});
        TestEnvironment::TakePauses();
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Writes(sim), (QStringList {Write(kWord1, 0), Write(kWord2, 8)}));
        QCOMPARE(sim.Journal()[0].community, std::string("marbled"));
        QCOMPARE(TestEnvironment::TakePauses(), (std::vector<unsigned> {150, 4000, 150}));
        QCOMPARE(Status(*window), QString(kModeChanged));
        QCOMPARE(window->ModeWord2(), 8u);

        sim.ClearJournal();
        Press(*window, IDC_FIRMWARE_UPDATE);  // the warning is answered OK
        QCOMPARE(ui.Boxes().size(), size_t(1));
        QVERIFY(ui.Boxes()[0].text.startsWith("WARNING: You are going to start firmware update"));
        QCOMPARE(Status(*window), QString("Connection established! Firmware Update process started."));
        QCOMPARE(sim.Journal().size(), size_t(1));
    }

    void twoPassesForEveryMinorFrom70_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::newRow("4.070") << "4.070";
        QTest::newRow("4.079") << "4.079";
        QTest::newRow("4.080") << "4.080";
    }

    void twoPassesForEveryMinorFrom70()
    {
        QFETCH(QString, firmware);
        SimModule sim(QString(R"({"firmware": "%1"})").arg(firmware).toStdString());
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        CheckOnly(*window, {IDC_MODE_PING_RESTART, IDC_MODE_EXTRA_FIRST + 4});
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Writes(sim), (QStringList {Write(kWord1, 16), Write(kWord2, 128)}));
        QCOMPARE(TestEnvironment::TakePauses(), (std::vector<unsigned> {150, 4000, 150}));
        QCOMPARE(Status(*window), QString(kModeChanged));
    }

    // ---- Failing passes -------------------------------------------------------------

    void failedFirstPassEndsAtOnce()
    {
        SimModule sim(R"({"faults": {".1.1.9.0": {"error": 5, "on": "set"}}})");
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Status(*window), QString("SNMP Error: Unable to connect to target host(first)! (Error code -1)"));
        QCOMPARE(Writes(sim), QStringList {Write(kWord1, 160, "error")});
        QCOMPARE(TestEnvironment::TakePauses(), std::vector<unsigned> {150});
        QCOMPARE(window->ModeWord1(), 160u);  // rebuilt before the exchange
    }

    void failedSecondPassLeavesTheFirstWordWritten()
    {
        SimModule sim(R"({"faults": {".1.1.11.0": {"error": 5, "on": "set"}}})");
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        CheckOnly(*window, {IDC_MODE_SWITCH_CONTROL});
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Status(*window), QString("SNMP Error: Unable to connect to target host(second)! (Error code -1)"));
        QCOMPARE(Writes(sim), (QStringList {Write(kWord1, 32), Write(kWord2, 0, "error")}));
        QCOMPARE(TestEnvironment::TakePauses(), (std::vector<unsigned> {150, 4000, 150}));

        // The module now holds the first word.
        sim.ClearJournal();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(window->ModeWord1(), 32u);
    }

    void failedOneRequestPlans_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("single word") << "4.050" << kWord1 << QStringList {Write(kWord1, 0, "error")};
        QTest::newRow("both words, first") << "4.066" << kWord1 << QStringList {Write(kWord1, 0, "error")};
        QTest::newRow("both words, second")
            << "4.066" << kWord2 << QStringList {Write(kWord1, 0), Write(kWord2, 0, "error")};
    }

    void failedOneRequestPlans()
    {
        QFETCH(QString, firmware);
        QFETCH(QString, failing);
        QFETCH(QStringList, writes);
        SimModule sim(Module(firmware, QString(R"({"%1": {"error": 3, "on": "set"}})").arg(failing)));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        CheckOnly(*window, {});
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Status(*window), QString("SNMP Error: Unable to connect to target host! (Error code -1)"));
        QCOMPARE(Writes(sim), writes);
    }

    // ---- No plan -------------------------------------------------------------------

    void firmwareWithoutAPlanSendsNothing_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::newRow("4.055") << "4.055";
        QTest::newRow("4.067") << "4.067";
        QTest::newRow("5.070, mode words never read") << "5.070";
    }

    void firmwareWithoutAPlanSendsNothing()
    {
        QFETCH(QString, firmware);
        SimModule sim(QString(R"({"firmware": "%1"})").arg(firmware).toStdString());
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        QVERIFY(Enabled(*window, IDC_SET_MODES));
        CheckOnly(*window, {IDC_MODE_VLAN_TAGGED});
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Status(*window), QString(kNoPlan));
        QVERIFY(sim.Journal().empty());
        QCOMPARE(window->ModeWord1(), 0u);
        QVERIFY(Checked(*window, IDC_MODE_VLAN_TAGGED));  // what the operator ticked stays
    }

    // After a failed read the version is 0.000 while the button stays usable.
    void failedReadLeavesNoPlan()
    {
        SimModule good;
        ScriptedUi ui;
        auto window = ReadyWindow(good);
        SimModule refusing(R"({"faults": {".1.1.8.0": {"error": 5}}})");
        refusing.Use();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString("SNMP Error: Unable to connect to target host! (Error code -1)"));
        QCOMPARE(window->Minor(), uint8_t(0));
        refusing.ClearJournal();
        Press(*window, IDC_SET_MODES);
        QCOMPARE(Status(*window), QString(kNoPlan));
        QVERIFY(refusing.Journal().empty());
        QVERIFY(good.Journal().empty());
    }

    // ---- Validation on the way ------------------------------------------------------

};

QTEST_MAIN(TestModes)
#include "test_win_modes.moc"
