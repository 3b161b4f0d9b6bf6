// "Change R/W Pass" and "Change R/O Pass" against simulated modules, with the
// change window driven while it runs modally: its captions, entries that do
// not match, Cancel, the length rule of older firmware, which object is
// written with which string, and which pass fields take the new string.

#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/MainDlg.h"
#include "res/CommunityDlgIds.h"
#include "res/MainDlgIds.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"

using namespace drive;
using namespace fixture;

namespace {

const char* const kRwCaption = "Change R/W Community String";
const char* const kRoCaption = "Change R/O Community String";
const char* const kRwChanged = "Connection established! Read-Write Community string changed.";
const char* const kRoChanged = "Connection established! Read-Only Community string changed.";
const char* const kLengthError = "Error: Community string for this firmware version must be exactly 12 symbols";
// Firmware up to 4.066 keeps one string for reads and writes.
const char* const kOldModule
    = R"({"firmware": "4.066", "readCommunity": "582019374620", "writeCommunity": "582019374620"})";

// Operator steps on the change window, run one after another while it is the
// active modal window. A window still open after the last step is cancelled,
// so that a fault cannot hang the test.
class ModalOperator {
public:
    using Step = std::function<void(CDialog&)>;

    explicit ModalOperator(std::vector<Step> steps) : m_steps(std::move(steps)) { ScheduleNext(); }

    QStringList captions;  // the window's caption at each step run
    bool leftOpen = false;  // still open after the last step
    bool missing = false;  // a step found no modal window

private:
    void ScheduleNext()
    {
        QTimer::singleShot(0, &m_guard, [this] { RunStep(); });
    }

    void RunStep()
    {
        auto* dialog = qobject_cast<CDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            missing = m_next < m_steps.size();
            return;
        }
        if (m_next == m_steps.size()) {
            leftOpen = true;
            dialog->EndDialog(IDCANCEL);
            return;
        }
        captions << dialog->windowTitle();
        m_steps[m_next++](*dialog);
        if (dialog->isVisible())
            ScheduleNext();
        else if (m_next < m_steps.size())
            missing = true;
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    QObject m_guard;  // a step still pending when the operator goes is dropped
};

ModalOperator::Step Type(const QString& first, const QString& second)
{
    return [first, second](CDialog& dialog) {
        SetText(dialog, IDC_NEW_COMMUNITY, first);
        SetText(dialog, IDC_RETYPED_COMMUNITY, second);
        Press(dialog, IDOK);
    };
}

ModalOperator::Step Cancel()
{
    return [](CDialog& dialog) { Press(dialog, IDCANCEL); };
}

QString Relative(const std::string& oid) { return QString::fromStdString(oid.substr(kPrefix.size())); }

}  // namespace

class TestCommunity : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // ---- The change window ---------------------------------------------------------

    void captionsOfTheChangeWindow()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        {
            ModalOperator op({Cancel()});
            Press(*window, IDC_CHANGE_RW_PASS);
            QCOMPARE(op.captions, QStringList {kRwCaption});
            QVERIFY(!op.missing);
        }
        {
            ModalOperator op({Cancel()});
            Press(*window, IDC_CHANGE_RO_PASS);
            QCOMPARE(op.captions, QStringList {kRoCaption});
        }
    }

    void mismatchKeepsTheWindowOpenUntilCorrected()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        QString firstAfterBox;
        ModalOperator op({Type("Secret", "secret"), [&](CDialog& dialog) {
                              firstAfterBox = Text(dialog, IDC_NEW_COMMUNITY);
                              SetText(dialog, IDC_RETYPED_COMMUNITY, "Secret");
                              Press(dialog, IDOK);
                          }});
        Press(*window, IDC_CHANGE_RW_PASS);
        QCOMPARE(op.captions.size(), 2);  // still open after the mismatch
        QVERIFY(!op.leftOpen);
        QCOMPARE(firstAfterBox, QString("Secret"));
        QCOMPARE(ui.BoxTexts(), QStringList {"Values don't match!"});
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONSTOP));
        QCOMPARE(Status(*window), QString(kRwChanged));
        QCOMPARE(sim.Journal().size(), size_t(1));
        QCOMPARE(QString::fromStdString(sim.Journal()[0].value), QString("Secret"));
    }

    // A string that would lock the operator out, or that cannot travel as
    // 8-bit text, is refused by the change window, which stays open.
    void unusableStringsKeepTheWindowOpen_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("box");
        QTest::newRow("empty") << "" << "The community string must have 4 to 12 characters.";
        QTest::newRow("3 characters") << "abc" << "The community string must have 4 to 12 characters.";
        QTest::newRow("not 8-bit") << QString::fromUtf8("caf\u00e9\u20ac")
                                   << "The community string can only hold 8-bit (Latin-1) characters.";
    }

    void unusableStringsKeepTheWindowOpen()
    {
        QFETCH(QString, typed);
        QFETCH(QString, box);
        SimModule sim;
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        ModalOperator op({Type(typed, typed), Cancel()});
        Press(*window, IDC_CHANGE_RW_PASS);
        QCOMPARE(op.captions.size(), 2);  // still open after the refusal
        QCOMPARE(ui.BoxTexts(), QStringList {box});
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONSTOP));
        QVERIFY(sim.Journal().empty());
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), QString(kWriteCommunity));
    }

    void cancelSendsAndShowsNothing_data()
    {
        QTest::addColumn<int>("button");
        QTest::addRow("R/W") << int(IDC_CHANGE_RW_PASS);
        QTest::addRow("R/O") << int(IDC_CHANGE_RO_PASS);
    }

    void cancelSendsAndShowsNothing()
    {
        QFETCH(int, button);
        SimModule sim;
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        ModalOperator op({[](CDialog& dialog) {
            SetText(dialog, IDC_NEW_COMMUNITY, "typed");
            SetText(dialog, IDC_RETYPED_COMMUNITY, "typed");
            Press(dialog, IDCANCEL);
        }});
        Press(*window, button);
        QCOMPARE(op.captions.size(), 1);
        QVERIFY(sim.Journal().empty());
        QVERIFY(ui.Boxes().empty());
        QCOMPARE(Status(*window), QString(kDataReceived));
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), QString(kWriteCommunity));
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), QString(kReadCommunity));
    }

    void entriesAreLimitedToTwelveCharacters()
    {
        SimModule sim;
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        QString kept;
        ModalOperator op({[&](CDialog& dialog) {
            auto* edit = dialog.Item<QLineEdit>(IDC_NEW_COMMUNITY);
            QTest::keyClicks(edit, "abcdefghijklmn");
            kept = edit->text();
            QTest::keyClicks(dialog.Item<QLineEdit>(IDC_RETYPED_COMMUNITY), "abcdefghijklmn");
            Press(dialog, IDOK);
        }});
        Press(*window, IDC_CHANGE_RW_PASS);
        QCOMPARE(kept, QString("abcdefghijkl"));
        QVERIFY(ui.Boxes().empty());
        QCOMPARE(QString::fromStdString(sim.Journal().at(0).value), QString("abcdefghijkl"));
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), QString("abcdefghijkl"));
    }

    // ---- Firmware up to 4.066: one string of twelve characters --------------------

    void oldFirmwareRefusesOtherLengths_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("11 characters") << "abcdefghijk";
        QTest::newRow("4 characters") << "abcd";
    }

    void oldFirmwareRefusesOtherLengths()
    {
        QFETCH(QString, typed);
        SimModule sim(kOldModule);
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        ModalOperator op({Type(typed, typed)});
        Press(*window, IDC_CHANGE_RW_PASS);
        QCOMPARE(Status(*window), QString(kLengthError));
        QVERIFY(sim.Journal().empty());
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), QString(kReadCommunity));
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), QString(kReadCommunity));
    }

    void oldFirmwareTakesTwelveCharactersIntoBothFields()
    {
        SimModule sim(kOldModule);
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), QString(kReadCommunity));  // copied by the read
        ModalOperator op({Type("NewString123", "NewString123")});
        Press(*window, IDC_CHANGE_RW_PASS);
        QCOMPARE(Status(*window), QString(kRwChanged));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(journal[0].op, std::string("set"));
        QCOMPARE(Relative(journal[0].oid), QString(".1.1.4.0"));
        QCOMPARE(journal[0].type, std::string("s"));
        QCOMPARE(journal[0].value, std::string("NewString123"));
        QCOMPARE(journal[0].community, std::string(kReadCommunity));
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), QString("NewString123"));
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), QString("NewString123"));

        // The module now answers the new string only, and the window uses it.
        sim.ClearJournal();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString(kDataReceived));
        QCOMPARE(sim.Journal().at(0).community, std::string("NewString123"));
    }

    // ---- Firmware 4.070 and later: two strings of any length ------------------------

    void newerFirmwareChangesTheReadOnlyString()
    {
        SimModule sim;  // 4.073
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        ModalOperator op({Type("pub01", "pub01")});
        Press(*window, IDC_CHANGE_RO_PASS);
        QCOMPARE(Status(*window), QString(kRoChanged));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(Relative(journal[0].oid), QString(".1.1.17.0"));
        QCOMPARE(journal[0].type, std::string("s"));
        QCOMPARE(journal[0].value, std::string("pub01"));
        QCOMPARE(journal[0].community, std::string(kWriteCommunity));  // a write needs the R/W string
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), QString("pub01"));
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), QString(kWriteCommunity));

        sim.ClearJournal();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString(kDataReceived));
        QCOMPARE(sim.Journal().at(0).community, std::string("pub01"));
    }

    void newerFirmwareChangesTheReadWriteStringOnly_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("typed");
        QTest::newRow("4.073, 4 characters") << "4.073"
                                             << "rw24";
        QTest::newRow("4.079, 12 characters") << "4.079"
                                              << "rwrwrwrwrwrw";
        QTest::newRow("4.070, Latin-1 accents") << "4.070"
                                      << QString::fromLatin1("pr\xe9" "fix\xe9");
        QTest::newRow("5.066, 11 characters") << "5.066"
                                              << "abcdefghijk";
    }

    void newerFirmwareChangesTheReadWriteStringOnly()
    {
        QFETCH(QString, firmware);
        QFETCH(QString, typed);
        // Minor 66 copies the R/O string into the R/W field whatever the major.
        const bool minor66 = firmware.endsWith("066");
        SimModule sim(QString(R"({"firmware": "%1", "writeCommunity": "%2"})")
                          .arg(firmware, minor66 ? kReadCommunity : kWriteCommunity)
                          .toStdString());
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        const QString oldRw = Text(*window, IDC_RW_COMMUNITY);
        ModalOperator op({Type(typed, typed)});
        Press(*window, IDC_CHANGE_RW_PASS);
        QCOMPARE(Status(*window), QString(kRwChanged));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(Relative(journal[0].oid), QString(".1.1.4.0"));
        QCOMPARE(QString::fromStdString(journal[0].value), typed);
        QCOMPARE(QString::fromStdString(journal[0].community), oldRw);
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), typed);
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), QString(kReadCommunity));

        // Later writes go out with the new string and are accepted.
        sim.ClearJournal();
        Press(*window, IDC_SET_VLAN_TAG);
        QCOMPARE(Status(*window), QString("Connection established! VLAN Tag changed."));
        QCOMPARE(QString::fromStdString(sim.Journal().at(0).community), typed);
    }

    // ---- Failed writes ------------------------------------------------------------------

    void failedWriteKeepsBothFields_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("typed");
        QTest::newRow("R/W on 4.073") << R"({"faults": {".1.1.4.0": {"error": 5, "on": "set"}}})"
                                      << int(IDC_CHANGE_RW_PASS) << "newrw";
        QTest::newRow("R/O on 4.073") << R"({"faults": {".1.1.17.0": {"error": 5, "on": "set"}}})"
                                      << int(IDC_CHANGE_RO_PASS) << "newro";
        QTest::newRow("R/W on 4.066")
            << R"({"firmware": "4.066", "readCommunity": "582019374620", "writeCommunity": "582019374620",
                   "faults": {".1.1.4.0": {"error": 3, "on": "set"}}})"
            << int(IDC_CHANGE_RW_PASS) << "twelve-chars";
    }

    void failedWriteKeepsBothFields()
    {
        QFETCH(QString, state);
        QFETCH(int, button);
        QFETCH(QString, typed);
        SimModule sim(state.toStdString());
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        const QString rw = Text(*window, IDC_RW_COMMUNITY);
        const QString ro = Text(*window, IDC_RO_COMMUNITY);
        ModalOperator op({Type(typed, typed)});
        Press(*window, button);
        QCOMPARE(Status(*window), QString("SNMP Error: Unable to connect to target host! (Error code -1)"));
        QCOMPARE(sim.Journal().size(), size_t(1));
        QCOMPARE(sim.Journal()[0].reply, std::string("error"));
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), rw);
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), ro);
    }
};

QTEST_MAIN(TestCommunity)
#include "test_win_community.moc"
