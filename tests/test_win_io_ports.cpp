// The I/O ports window against a simulated module: what each firmware level
// reads, which boxes it lets the operator change and what the analog edits
// show; port values and their boxes; writing P3 and P5 and the refresh that
// follows; the restart-target command; the grid's column order.

#include <QAbstractButton>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "io/IoPortsDlg.h"
#include "res/IoPortsDlgIds.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"

using namespace drive;

namespace {

const std::string kPrefix = ".1.3.6.1.4.1.19865";
const char* const kReadCommunity = "582019374620";
const char* const kWriteCommunity = "marbled";
const char* const kDataReceived = "Connection established! SNMP data received.";
const char* const kNoAnalog = "(No analog channels for this firmware)";
const char* const kNoAnswer = "SNMP Error: Unable to connect to target host! (Error code -2)";
const char* const kErrorStatus = "SNMP Error: Unable to connect to target host! (Error code -1)";
const char* const kNotCompatible = "Not compatible firmware version!";
const char* const kMarker = "(before the refresh)";

// The sim's default ports (0x81, 0x42, 0x18) and analog counts.
const QStringList kNoChannels = {"0", "0", "0", "0", "0", "0", "0", "0"};
const QStringList kThreeChannels = {"0", "0", "0.5", "0", "1", "0", "0.2", "0"};  // 1365, 2730, 546
const QStringList kEightChannels = {"0", "0.5", "1", "1.5", "2", "2.5", "3", "3.3"};  // 0, 155, ... 1023

const QStringList kDigitalReads = {".1.2.1.0", ".1.2.2.0", ".1.2.3.0"};
const QStringList kThreeChannelReads = kDigitalReads + QStringList {".1.1.123.0", ".1.1.124.0", ".1.1.125.0"};
const QStringList kEightChannelReads = {".1.2.1.33.0", ".1.2.2.33.0", ".1.2.3.33.0", ".1.2.3.1.0", ".1.2.3.2.0",
    ".1.2.3.3.0", ".1.2.3.4.0", ".1.2.3.5.0", ".1.2.3.6.0", ".1.2.3.7.0", ".1.2.3.8.0"};

const int kUnchanged = -1;

std::string Module(const QString& firmware, const QString& more = QString())
{
    return QStringLiteral(R"({"firmware": "%1"%2})").arg(firmware, more.isEmpty() ? "" : ", " + more).toStdString();
}

std::unique_ptr<CIoPortsDlg> Open(const SimModule& sim)
{
    sim.Use();
    auto window = std::make_unique<CIoPortsDlg>(SubWindowArgs {sim.Address(), kWriteCommunity, kReadCommunity});
    window->Create();
    return window;
}

QString Relative(const std::string& oid) { return QString::fromStdString(oid.substr(kPrefix.size())); }

QStringList Reads(const SimModule& sim, const char* community = kReadCommunity)
{
    QStringList oids;
    for (const JournalEntry& entry : sim.Journal()) {
        if (entry.op == "get" && entry.community == community)
            oids << Relative(entry.oid);
        else
            oids << QString::fromStdString(entry.op + " " + entry.community + " ") + Relative(entry.oid);
    }
    return oids;
}

// Enabled boxes of a port as a bit mask (bit k: the box of bit k).
int EnabledMask(const CDialog& window, int (*box)(int))
{
    int mask = 0;
    for (int bit = 0; bit < kPortBits; ++bit)
        mask |= Enabled(window, box(bit)) ? 1 << bit : 0;
    return mask;
}

int TickedMask(const CDialog& window, int (*box)(int))
{
    int mask = 0;
    for (int bit = 0; bit < kPortBits; ++bit)
        mask |= Checked(window, box(bit)) ? 1 << bit : 0;
    return mask;
}

void Tick(CDialog& window, int (*box)(int), int mask)
{
    for (int bit = 0; bit < kPortBits; ++bit)
        SetChecked(window, box(bit), (mask >> bit) & 1);
}

QStringList AnalogTexts(const CDialog& window)
{
    QStringList texts;
    for (int id : kAnalogEdits)
        texts << Text(window, id);
    return texts;
}

void DisableAllBoxes(CDialog& window)
{
    for (int bit = 0; bit < kPortBits; ++bit) {
        window.EnableControl(P3Box(bit), false);
        window.EnableControl(P5Box(bit), false);
    }
}

// Writes of the journal as "oid type value community".
QStringList Sets(const SimModule& sim)
{
    QStringList sets;
    for (const JournalEntry& entry : sim.Journal()) {
        if (entry.op == "set")
            sets << QString::fromStdString(entry.oid.substr(kPrefix.size()) + " " + entry.type + " " + entry.value
                + " " + entry.community);
    }
    return sets;
}

}  // namespace

class TestIoPorts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // ---- Firmware levels -------------------------------------------------------

    void eachLevelReadsItsObjects_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QStringList>("reads");  // after the version, in order
        QTest::addColumn<int>("p3Enabled");  // kUnchanged: the boxes keep their state
        QTest::addColumn<int>("p5Enabled");
        QTest::addColumn<QStringList>("analog");  // CH1 .. CH8
        QTest::addColumn<QString>("status");

        const QString noAnalog = QString(kDataReceived) + kNoAnalog;
        QTest::newRow("4.040") << "4.040" << kDigitalReads << 0x0F << 0xAA << kNoChannels << noAnalog;
        QTest::newRow("4.050") << "4.050" << kDigitalReads << 0x0F << 0xAA << kNoChannels << noAnalog;
        for (const char* firmware : {"4.060", "4.061", "4.062", "4.065", "4.066"}) {
            QTest::newRow(firmware) << firmware << kThreeChannelReads << 0x0F << 0xAA << kThreeChannels
                                    << kDataReceived;
        }
        for (const char* firmware : {"4.041", "4.063", "4.064", "4.067", "4.069"})
            QTest::newRow(firmware) << firmware << QStringList() << kUnchanged << kUnchanged << kNoChannels << kMarker;
        for (const char* firmware : {"4.070", "4.073", "4.078", "4.079", "4.080"}) {
            QTest::newRow(firmware) << firmware << kEightChannelReads << 0xFF << 0xFF << kEightChannels
                                    << kDataReceived;
        }
        // Above major 4 the digital and three-channel sets still follow the
        // minor, the boxes the version number; the eight-channel set needs 4.
        QTest::newRow("5.050") << "5.050" << kDigitalReads << 0xFF << 0xFF << kNoChannels << noAnalog;
        QTest::newRow("5.062") << "5.062" << kThreeChannelReads << 0xFF << 0xFF << kThreeChannels << kDataReceived;
        QTest::newRow("5.070") << "5.070" << QStringList() << 0xFF << 0xFF << kNoChannels << kMarker;
        QTest::newRow("3.080") << "3.080" << QStringList() << kUnchanged << kUnchanged << kNoChannels
                               << kNotCompatible;
        QTest::newRow("3.066") << "3.066" << QStringList() << kUnchanged << kUnchanged << kNoChannels
                               << kNotCompatible;
    }

    void eachLevelReadsItsObjects()
    {
        QFETCH(QString, firmware);
        QFETCH(QStringList, reads);
        QFETCH(int, p3Enabled);
        QFETCH(int, p5Enabled);
        QFETCH(QStringList, analog);
        QFETCH(QString, status);

        SimModule sim(Module(firmware));
        auto window = Open(sim);
        QCOMPARE(Reads(sim), QStringList {".1.1.8.0"} + reads);  // at opening

        DisableAllBoxes(*window);
        window->SetStatus(kMarker);
        sim.ClearJournal();
        Press(*window, IDC_READ_REFRESH);

        QCOMPARE(Reads(sim), QStringList {".1.1.8.0"} + reads);
        QCOMPARE(EnabledMask(*window, P3Box), p3Enabled == kUnchanged ? 0 : p3Enabled);
        QCOMPARE(EnabledMask(*window, P5Box), p5Enabled == kUnchanged ? 0 : p5Enabled);
        QCOMPARE(EnabledMask(*window, P6Box), 0);
        QCOMPARE(AnalogTexts(*window), analog);
        QCOMPARE(Status(*window), status);
        const bool portsRead = !reads.isEmpty();
        QCOMPARE(TickedMask(*window, P3Box), portsRead ? 0x81 : 0);
        QCOMPARE(TickedMask(*window, P5Box), portsRead ? 0x42 : 0);
        QCOMPARE(TickedMask(*window, P6Box), portsRead ? 0x18 : 0);
        if (QString(status) != kNotCompatible)
            QCOMPARE(window->Major() * 256 + window->Minor(), int(firmware.left(1).toInt() * 256 + firmware.mid(2).toInt()));
    }

    // The three-channel set writes CH3, CH5 and CH7 only; the others keep
    // what an earlier read gave them.
    void threeChannelLevelKeepsTheOtherChannels()
    {
        SimModule newer(Module("4.070"));
        auto window = Open(newer);
        QCOMPARE(AnalogTexts(*window), kEightChannels);

        SimModule older(Module("4.062", R"("objects": {".1.1.123.0": {"value": 2730}, ".1.1.124.0": {"value": 0},
            ".1.1.125.0": {"value": 819}})"));
        older.Use();
        Press(*window, IDC_READ_REFRESH);
        QCOMPARE(AnalogTexts(*window), (QStringList {"0", "0.5", "1", "1.5", "0", "2.5", "0.3", "3.3"}));
        // From the older level the boxes follow its masks.
        QCOMPARE(EnabledMask(*window, P3Box), 0x0F);
    }

    // ---- Port values -----------------------------------------------------------

    void portValuesTickTheirBoxes_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<int>("p3");
        QTest::addColumn<int>("p5");
        QTest::addColumn<int>("p6");

        for (const char* firmware : {"4.050", "4.062", "4.073"}) {
            QTest::addRow("%s 0x81", firmware) << firmware << 0x81 << 0x01 << 0x80;
            QTest::addRow("%s above 255", firmware) << firmware << 0x181 << 0x2FE << 0x7F00;
            QTest::addRow("%s all and none", firmware) << firmware << 0xFF << 0x00 << 0x55;
        }
    }

    void portValuesTickTheirBoxes()
    {
        QFETCH(QString, firmware);
        QFETCH(int, p3);
        QFETCH(int, p5);
        QFETCH(int, p6);
        // Both the older and the newer port objects hold the value.
        const QString objects = QStringLiteral(R"("objects": {".1.2.1.0": {"value": %1}, ".1.2.2.0": {"value": %2},
            ".1.2.3.0": {"value": %3}, ".1.2.1.33.0": {"value": %1}, ".1.2.2.33.0": {"value": %2},
            ".1.2.3.33.0": {"value": %3}})")
                                    .arg(p3)
                                    .arg(p5)
                                    .arg(p6);
        SimModule sim(Module(firmware, objects));
        auto window = Open(sim);
        QCOMPARE(TickedMask(*window, P3Box), p3 & 0xFF);
        QCOMPARE(TickedMask(*window, P5Box), p5 & 0xFF);
        QCOMPARE(TickedMask(*window, P6Box), p6 & 0xFF);
        if (p3 == 0x81) {
            QVERIFY(Checked(*window, 1055) && Checked(*window, 1048));
            for (int id = 1049; id <= 1054; ++id)
                QVERIFY(!Checked(*window, id));
        }
    }

    // ---- Change P3 / Change P5 -------------------------------------------------

    void changeWritesAllEightFlags_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("ticked");  // mask of ticked boxes of the port
        QTest::addColumn<QString>("sent");
        QTest::addColumn<int>("readsAfter");  // objects the refresh reads after the version

        // Boxes 1057 (bit 7) and 1064 (bit 0); 1064 is disabled below 4.070
        // but its flag is sent all the same.
        QTest::newRow("P5 4.050") << "4.050" << int(IDC_CHANGE_P5) << 0x81 << ".1.2.2.0 i 129 marbled" << 3;
        QTest::newRow("P5 4.073") << "4.073" << int(IDC_CHANGE_P5) << 0x81 << ".1.2.2.0 i 129 marbled" << 11;
        QTest::newRow("P3 4.062 all") << "4.062" << int(IDC_CHANGE_P3) << 0xFF << ".1.2.1.0 i 255 marbled" << 6;
        QTest::newRow("P3 4.079 none") << "4.079" << int(IDC_CHANGE_P3) << 0x00 << ".1.2.1.0 i 0 marbled" << 11;
        QTest::newRow("P3 4.067") << "4.067" << int(IDC_CHANGE_P3) << 0x5A << ".1.2.1.0 i 90 marbled" << 0;
        QTest::newRow("P5 5.070") << "5.070" << int(IDC_CHANGE_P5) << 0x10 << ".1.2.2.0 i 16 marbled" << 0;
    }

    void changeWritesAllEightFlags()
    {
        QFETCH(QString, firmware);
        QFETCH(int, button);
        QFETCH(int, ticked);
        QFETCH(QString, sent);
        QFETCH(int, readsAfter);

        SimModule sim(Module(firmware));
        auto window = Open(sim);
        const bool p3 = button == IDC_CHANGE_P3;
        Tick(*window, p3 ? P3Box : P5Box, ticked);
        sim.ClearJournal();
        Press(*window, button);

        QCOMPARE(Sets(sim), QStringList {sent});
        // The write, then the refresh: the version and the level's objects.
        const QStringList journal = Reads(sim);
        QCOMPARE(journal.size(), 2 + readsAfter);
        QCOMPARE(journal[1], QString(".1.1.8.0"));
        // Read back (or, with nothing to read, left) as written.
        QCOMPARE(TickedMask(*window, p3 ? P3Box : P5Box), ticked);
        const QString port = p3 ? "P3" : "P5";
        // With nothing to read at this level no refresh is claimed.
        QCOMPARE(Status(*window),
            "Connection established! " + port + " state changed." + (readsAfter ? " Data refreshed." : ""));
    }

    void failedChangeDoesNotRefresh_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("status");
        QTest::newRow("refused") << R"({"error": 3, "on": "set"})" << kErrorStatus;
        QTest::newRow("no answer") << R"({"silence": true, "on": "set"})" << kNoAnswer;
    }

    void failedChangeDoesNotRefresh()
    {
        QFETCH(QString, fault);
        QFETCH(QString, status);
        SimModule sim(Module("4.062", QStringLiteral(R"("faults": {".1.2.1.0": %1})").arg(fault)));
        auto window = Open(sim);
        Tick(*window, P3Box, 0x03);
        sim.ClearJournal();
        Press(*window, IDC_CHANGE_P3);

        const std::vector<JournalEntry> journal = sim.Journal();
        QCOMPARE(int(journal.size()), 1);
        QCOMPARE(journal[0].op, std::string("set"));
        QCOMPARE(Status(*window), status);
        QCOMPARE(TickedMask(*window, P3Box), 0x03);  // the operator's ticks stay
    }

    // A successful write followed by a refresh that does not get through:
    // the write is confirmed and the refresh's own message follows.
    void changeReportsTheRefreshThatFollows_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("status");

        QTest::newRow("version unanswered")
            << Module("4.062", R"("faults": {".1.1.8.0": {"silence": true}})").c_str() << int(IDC_CHANGE_P5)
            << QString("Connection established! P5 state changed. ") + kNoAnswer;
        QTest::newRow("ports refused") << Module("4.073", R"("faults": {".1.2.1.33.0": {"error": 5}})").c_str()
                                       << int(IDC_CHANGE_P3)
                                       << QString("Connection established! P3 state changed. ") + kErrorStatus;
        QTest::newRow("analog unanswered")
            << Module("4.066", R"("faults": {".1.1.125.0": {"silence": true}})").c_str() << int(IDC_CHANGE_P3)
            << QString("Connection established! P3 state changed. ") + kNoAnswer;
        QTest::newRow("major 3") << Module("3.073").c_str() << int(IDC_CHANGE_P5)
                                 << QString("Connection established! P5 state changed. ") + kNotCompatible;
        QTest::newRow("refreshed") << Module("4.050").c_str() << int(IDC_CHANGE_P5)
                                   << "Connection established! P5 state changed. Data refreshed.";
    }

    void changeReportsTheRefreshThatFollows()
    {
        QFETCH(QString, module);
        QFETCH(int, button);
        QFETCH(QString, status);
        SimModule sim(module.toStdString());
        auto window = Open(sim);
        sim.ClearJournal();
        Press(*window, button);
        QCOMPARE(Sets(sim).size(), 1);
        QCOMPARE(Status(*window), status);
    }

    // Read/Refresh never takes the boxes first: unsent ticks give way to the
    // stored flags, whether the refresh gets through or not.
    void refreshReplacesUnsentTicks_data()
    {
        QTest::addColumn<QString>("second");  // the module that the refresh meets
        QTest::addColumn<QString>("status");
        QTest::newRow("read") << Module("4.062").c_str() << kDataReceived;
        QTest::newRow("version unanswered") << Module("4.062", R"("faults": {".1.1.8.0": {"silence": true}})").c_str()
                                            << kNoAnswer;
        QTest::newRow("ports refused") << Module("4.062", R"("faults": {".1.2.2.0": {"error": 2}})").c_str()
                                       << kErrorStatus;
        QTest::newRow("major 3") << Module("3.062").c_str() << kNotCompatible;
        QTest::newRow("nothing to read") << Module("4.067").c_str() << kMarker;
    }

    void refreshReplacesUnsentTicks()
    {
        QFETCH(QString, second);
        QFETCH(QString, status);
        SimModule first(Module("4.062"));
        auto window = Open(first);
        Tick(*window, P3Box, 0x0E);
        Tick(*window, P5Box, 0xA0);
        window->ShowStatusOnly(kMarker);

        SimModule module(second.toStdString());
        module.Use();
        Press(*window, IDC_READ_REFRESH);
        QCOMPARE(TickedMask(*window, P3Box), 0x81);
        QCOMPARE(TickedMask(*window, P5Box), 0x42);
        QCOMPARE(Status(*window), status);
        QCOMPARE(Sets(module), QStringList());
    }

    void unansweredOpeningReadsNothingElse()
    {
        SimModule sim(Module("4.073", R"("faults": {".1.1.8.0": {"silence": true}})"));
        auto window = Open(sim);
        QCOMPARE(Reads(sim), QStringList {".1.1.8.0"});
        QCOMPARE(Status(*window), kNoAnswer);
        QCOMPARE(window->Major(), 0);
        QCOMPARE(TickedMask(*window, P3Box), 0);
        // The template's boxes stay as they are.
        QCOMPARE(EnabledMask(*window, P3Box), 0x0F);
        QCOMPARE(EnabledMask(*window, P5Box), 0xAA);
        QCOMPARE(AnalogTexts(*window), kNoChannels);
    }

    // ---- Restart Target --------------------------------------------------------

    void restartTargetReadsTheCommandObject_data()
    {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<QString>("status");
        QTest::newRow("confirmed") << "{}"
                                   << "Connection established! \"Target Restart\" command confirmed.";
        QTest::newRow("unanswered") << R"({".1.2.4.0": {"silence": true}})" << kNoAnswer;
        QTest::newRow("refused") << R"({".1.2.4.0": {"error": 5}})" << kErrorStatus;
    }

    void restartTargetReadsTheCommandObject()
    {
        QFETCH(QString, faults);
        QFETCH(QString, status);
        // No version check: even a module the window refuses gets the command.
        SimModule sim(Module("3.050", "\"faults\": " + faults));
        auto window = Open(sim);
        sim.ClearJournal();
        ScriptedUi ui;
        Press(*window, IDC_RESTART_TARGET);
        QCOMPARE(Reads(sim), QStringList {".1.2.4.0"});
        QCOMPARE(Status(*window), status);
        QVERIFY(ui.Boxes().empty());
    }

    // ---- The grid ----------------------------------------------------------------

    // Bit 7 on the left, bit 0 on the right, in every row; channel k+1 under
    // the column of bit k; the labels of the shared pins under their channels.
    void gridRunsFromBit7OnTheLeft()
    {
        SimModule sim(Module("4.073"));
        auto window = Open(sim);
        QCOMPARE(window->windowTitle(), QString("I/O Ports"));
        QCOMPARE(window->TemplateId(), 137);
        const auto centre = [&](int id) { return Control(*window, id)->geometry().center().x(); };
        for (int bit = 0; bit < kPortBits; ++bit) {
            QCOMPARE(centre(P5Box(bit)), centre(P3Box(bit)));
            QCOMPARE(centre(P6Box(bit)), centre(P3Box(bit)));
            QVERIFY(qAbs(centre(kAnalogEdits[bit]) - centre(P3Box(bit))) < 4);
            if (bit > 0)
                QVERIFY(centre(P3Box(bit)) < centre(P3Box(bit - 1)));
        }
        for (int channel : {3, 5, 7}) {
            const QString caption = QStringLiteral("CH%1 (P6.%1)").arg(channel);
            const QList<QLabel*> labels = window->findChildren<QLabel*>();
            const auto label = std::find_if(
                labels.begin(), labels.end(), [&](const QLabel* l) { return l->text() == caption; });
            QVERIFY2(label != labels.end(), qPrintable(caption));
            QVERIFY(qAbs((*label)->geometry().center().x() - centre(kAnalogEdits[channel - 1])) < 4);
        }
        QVERIFY(ReadOnly(*window, IDC_ANALOG_CH1));
    }
};

QTEST_MAIN(TestIoPorts)
#include "test_win_io_ports.moc"
