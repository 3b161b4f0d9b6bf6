// The I/O ports window against a simulated module: what each firmware level
// reads, which boxes it lets the operator change and what the analog edits
// show; port values; writing P3 and P5 and the refresh that follows; the
// restart-target command; the grid's column order.

#include <QtTest>

#include <algorithm>
#include <memory>
#include <string>

#include "io/IoPortsDlg.h"
#include "res/IoPortsDlgIds.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"

using namespace drive;

namespace {

const char* const kReadCommunity = "582019374620";
const char* const kDataReceived = "Connection established! SNMP data received.";
const char* const kNoAnswer = "SNMP Error: Unable to connect to target host! (Error code -2)";
const char* const kErrorStatus = "SNMP Error: Unable to connect to target host! (Error code -1)";
const char* const kNotCompatible = "Not compatible firmware version!";
const char* const kMarker = "(before)";
const int kKept = 0;  // enabled mask of boxes that keep their (all disabled) state

// The sim's ports are 0x81, 0x42, 0x18; its analog counts 1365, 2730, 546
// (three channels) and 0, 155, ... 1023 (eight channels).
const QStringList kNoVolts = {"0", "0", "0", "0", "0", "0", "0", "0"};
const QStringList kThreeVolts = {"0", "0", "0.5", "0", "1", "0", "0.2", "0"};
const QStringList kEightVolts = {"0", "0.5", "1", "1.5", "2", "2.5", "3", "3.3"};
const QStringList kDigital = {".1.2.1.0", ".1.2.2.0", ".1.2.3.0"};
const QStringList kThree = kDigital + QStringList {".1.1.123.0", ".1.1.124.0", ".1.1.125.0"};
const QStringList kEight = {".1.2.1.33.0", ".1.2.2.33.0", ".1.2.3.33.0", ".1.2.3.1.0", ".1.2.3.2.0", ".1.2.3.3.0",
    ".1.2.3.4.0", ".1.2.3.5.0", ".1.2.3.6.0", ".1.2.3.7.0", ".1.2.3.8.0"};

std::string Module(const QString& firmware, const QString& more = QString())
{
    return QStringLiteral(R"({"firmware": "%1"%2})").arg(firmware, more.isEmpty() ? "" : ", " + more).toStdString();
}

std::unique_ptr<CIoPortsDlg> Open(const SimModule& sim)
{
    sim.Use();
    auto window = std::make_unique<CIoPortsDlg>(SubWindowArgs {sim.Address(), "marbled", kReadCommunity});
    window->Create();
    return window;
}

// The journal as "oid" for reads with the read-only community and
// "set oid type value community" for everything else.
QStringList Requests(const SimModule& sim)
{
    QStringList requests;
    for (const JournalEntry& e : sim.Journal()) {
        const QString oid = QString::fromStdString(e.oid).mid(18);
        if (e.op == "get" && e.community == kReadCommunity)
            requests << oid;
        else
            requests << QString::fromStdString(e.op) + " " + oid + " " + QString::fromStdString(e.type) + " "
                    + QString::fromStdString(e.value) + " " + QString::fromStdString(e.community);
    }
    return requests;
}

// A port's boxes as a bit mask (bit k: the box of bit k) by state.
int Mask(const CDialog& window, int (*box)(int), bool (*state)(const CDialog&, int))
{
    int mask = 0;
    for (int bit = 0; bit < kPortBits; ++bit)
        mask |= state(window, box(bit)) ? 1 << bit : 0;
    return mask;
}
int Ticked(const CDialog& w, int (*box)(int)) { return Mask(w, box, Checked); }
int Usable(const CDialog& w, int (*box)(int)) { return Mask(w, box, Enabled); }

void Tick(CDialog& window, int (*box)(int), int mask)
{
    for (int bit = 0; bit < kPortBits; ++bit)
        SetChecked(window, box(bit), (mask >> bit) & 1);
}

QStringList Volts(const CDialog& window)
{
    QStringList texts;
    for (int id : kAnalogEdits)
        texts << Text(window, id);
    return texts;
}

}  // namespace

class TestIoPorts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    void eachLevelReadsItsObjects_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QStringList>("reads");  // after the version
        QTest::addColumn<int>("p3Usable");
        QTest::addColumn<int>("p5Usable");
        QTest::addColumn<QStringList>("volts");  // CH1 .. CH8
        QTest::addColumn<QString>("status");

        const QString noAnalog = QString(kDataReceived) + "(No analog channels for this firmware)";
        for (const char* v : {"4.040", "4.050"})
            QTest::newRow(v) << v << kDigital << 0x0F << 0xAA << kNoVolts << noAnalog;
        for (const char* v : {"4.060", "4.061", "4.062", "4.065", "4.066"})
            QTest::newRow(v) << v << kThree << 0x0F << 0xAA << kThreeVolts << kDataReceived;
        for (const char* v : {"4.041", "4.063", "4.064", "4.067", "4.069"})
            QTest::newRow(v) << v << QStringList() << kKept << kKept << kNoVolts << kMarker;
        for (const char* v : {"4.070", "4.073", "4.078", "4.079", "4.080"})
            QTest::newRow(v) << v << kEight << 0xFF << 0xFF << kEightVolts << kDataReceived;
        // Above major 4: data sets by the minor (eight channels need major 4),
        // boxes by the version number.
        QTest::newRow("5.050") << "5.050" << kDigital << 0xFF << 0xFF << kNoVolts << noAnalog;
        QTest::newRow("5.062") << "5.062" << kThree << 0xFF << 0xFF << kThreeVolts << kDataReceived;
        QTest::newRow("5.070") << "5.070" << QStringList() << 0xFF << 0xFF << kNoVolts << kMarker;
        for (const char* v : {"3.066", "3.080"})
            QTest::newRow(v) << v << QStringList() << kKept << kKept << kNoVolts << kNotCompatible;
    }

    void eachLevelReadsItsObjects()
    {
        QFETCH(QString, firmware);
        QFETCH(QStringList, reads);
        QFETCH(int, p3Usable);
        QFETCH(int, p5Usable);
        QFETCH(QStringList, volts);
        QFETCH(QString, status);

        SimModule sim(Module(firmware));
        auto window = Open(sim);
        QCOMPARE(Requests(sim), QStringList {".1.1.8.0"} + reads);  // at opening
        for (int bit = 0; bit < kPortBits; ++bit) {
            window->EnableControl(P3Box(bit), false);
            window->EnableControl(P5Box(bit), false);
        }
        window->SetStatus(kMarker);
        sim.ClearJournal();
        Press(*window, IDC_READ_REFRESH);

        QCOMPARE(Requests(sim), QStringList {".1.1.8.0"} + reads);
        QCOMPARE(Usable(*window, P3Box), p3Usable);
        QCOMPARE(Usable(*window, P5Box), p5Usable);
        QCOMPARE(Usable(*window, P6Box), 0);
        QCOMPARE(Volts(*window), volts);
        QCOMPARE(Status(*window), status);
        QCOMPARE(Ticked(*window, P3Box), reads.isEmpty() ? 0 : 0x81);
        QCOMPARE(Ticked(*window, P5Box), reads.isEmpty() ? 0 : 0x42);
        QCOMPARE(Ticked(*window, P6Box), reads.isEmpty() ? 0 : 0x18);
    }

    // Only the low 8 bits of a port count; P3 0x81 ticks 1048 and 1055 only.
    void portValuesAboveAByte()
    {
        for (const char* firmware : {"4.062", "4.073"}) {
            SimModule sim(Module(firmware, R"("objects": {".1.2.1.0": {"value": 385}, ".1.2.1.33.0": {"value": 385},
                ".1.2.2.0": {"value": 766}, ".1.2.2.33.0": {"value": 766}, ".1.2.3.0": {"value": 32512},
                ".1.2.3.33.0": {"value": 32512}})"));
            auto window = Open(sim);
            QCOMPARE(Ticked(*window, P3Box), 0x81);
            QVERIFY(Checked(*window, 1048) && Checked(*window, 1055));
            QCOMPARE(Ticked(*window, P5Box), 0xFE);
            QCOMPARE(Ticked(*window, P6Box), 0x00);
        }
    }

    // The three-channel set changes CH3, CH5 and CH7 only.
    void threeChannelsKeepTheOthers()
    {
        SimModule newer(Module("4.070"));
        auto window = Open(newer);
        SimModule older(Module("4.062", R"("objects": {".1.1.124.0": {"value": 0}, ".1.1.125.0": {"value": 819}})"));
        older.Use();
        Press(*window, IDC_READ_REFRESH);
        QCOMPARE(Volts(*window), (QStringList {"0", "0.5", "0.5", "1.5", "0", "2.5", "0.3", "3.3"}));
    }

    // All eight flags are written (those of disabled boxes too), always to
    // .1.2.n.0, and the refresh follows.
    void changeWritesThePort_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("ticked");
        QTest::addColumn<QString>("set");
        QTest::addColumn<QStringList>("reads");

        QTest::newRow("P5 4.050") << "4.050" << int(IDC_CHANGE_P5) << 0x81 << "set .1.2.2.0 i 129 marbled" << kDigital;
        QTest::newRow("P5 4.073") << "4.073" << int(IDC_CHANGE_P5) << 0x81 << "set .1.2.2.0 i 129 marbled" << kEight;
        QTest::newRow("P3 4.062") << "4.062" << int(IDC_CHANGE_P3) << 0xFF << "set .1.2.1.0 i 255 marbled" << kThree;
        QTest::newRow("P3 4.079") << "4.079" << int(IDC_CHANGE_P3) << 0x00 << "set .1.2.1.0 i 0 marbled" << kEight;
        QTest::newRow("P3 4.067") << "4.067" << int(IDC_CHANGE_P3) << 0x5A << "set .1.2.1.0 i 90 marbled"
                                  << QStringList();
    }

    void changeWritesThePort()
    {
        QFETCH(QString, firmware);
        QFETCH(int, button);
        QFETCH(int, ticked);
        QFETCH(QString, set);
        QFETCH(QStringList, reads);

        SimModule sim(Module(firmware));
        auto window = Open(sim);
        const bool p3 = button == IDC_CHANGE_P3;
        Tick(*window, p3 ? P3Box : P5Box, ticked);
        sim.ClearJournal();
        Press(*window, button);

        QCOMPARE(Requests(sim), (QStringList {set, ".1.1.8.0"} + reads));
        QCOMPARE(Ticked(*window, p3 ? P3Box : P5Box), ticked);
        // Nothing to read at this level: no refresh is claimed.
        QCOMPARE(Status(*window),
            QString("Connection established! P%1 state changed.%2")
                .arg(p3 ? 3 : 5)
                .arg(reads.isEmpty() ? "" : " Data refreshed."));
    }

    // A failed write shows its error and refreshes nothing; a write followed
    // by a refresh that does not get through shows the refresh's message
    // after the confirmation of the write.
    void changeAndItsRefreshFail_data()
    {
        QTest::addColumn<QString>("more");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("status");

        const QString changed = "Connection established! P5 state changed. ";
        QTest::newRow("set refused") << R"("faults": {".1.2.2.0": {"error": 3, "on": "set"}})" << 1 << kErrorStatus;
        QTest::newRow("set unanswered") << R"("faults": {".1.2.2.0": {"silence": true, "on": "set"}})" << 1
                                        << kNoAnswer;
        QTest::newRow("version unanswered")
            << R"("faults": {".1.1.8.0": {"silence": true}})" << 2 << changed + kNoAnswer;
        QTest::newRow("analog refused") << R"("faults": {".1.1.125.0": {"error": 5}})" << 8 << changed + kErrorStatus;
        QTest::newRow("major 3") << R"("objects": {".1.1.8.0": {"value": 848}})" << 2 << changed + kNotCompatible;
    }

    void changeAndItsRefreshFail()
    {
        QFETCH(QString, more);
        QFETCH(int, requests);
        QFETCH(QString, status);
        SimModule sim(Module("4.066", more));
        auto window = Open(sim);
        Tick(*window, P5Box, 0x03);
        sim.ClearJournal();
        Press(*window, IDC_CHANGE_P5);
        QCOMPARE(Requests(sim).size(), requests);
        QCOMPARE(Status(*window), status);
    }

    // The boxes are never taken first: unsent ticks give way to the stored
    // flags, whether the refresh gets through or not.
    void refreshReplacesUnsentTicks_data()
    {
        QTest::addColumn<QString>("more");
        QTest::addColumn<QString>("status");
        QTest::newRow("read") << "" << kDataReceived;
        QTest::newRow("version unanswered") << R"("faults": {".1.1.8.0": {"silence": true}})" << kNoAnswer;
        QTest::newRow("ports refused") << R"("faults": {".1.2.2.0": {"error": 2}})" << kErrorStatus;
        QTest::newRow("major 3") << R"("objects": {".1.1.8.0": {"value": 830}})" << kNotCompatible;
        QTest::newRow("nothing to read") << R"("objects": {".1.1.8.0": {"value": 1091}})" << kMarker;
    }

    void refreshReplacesUnsentTicks()
    {
        QFETCH(QString, more);
        QFETCH(QString, status);
        SimModule first(Module("4.062"));
        auto window = Open(first);
        Tick(*window, P3Box, 0x0E);
        Tick(*window, P5Box, 0xA0);
        window->ShowStatusOnly(kMarker);
        SimModule second(Module("4.062", more));
        second.Use();
        Press(*window, IDC_READ_REFRESH);
        QCOMPARE(Ticked(*window, P3Box), 0x81);
        QCOMPARE(Ticked(*window, P5Box), 0x42);
        QCOMPARE(Status(*window), status);
    }

    // A read with the read-only community and no version check.
    void restartTarget_data()
    {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<QString>("status");
        QTest::newRow("confirmed") << "{}"
                                   << "Connection established! \"Target Restart\" command confirmed.";
        QTest::newRow("unanswered") << R"({".1.2.4.0": {"silence": true}})" << kNoAnswer;
    }

    void restartTarget()
    {
        QFETCH(QString, faults);
        QFETCH(QString, status);
        SimModule sim(Module("3.050", "\"faults\": " + faults));
        auto window = Open(sim);
        sim.ClearJournal();
        Press(*window, IDC_RESTART_TARGET);
        QCOMPARE(Requests(sim), QStringList {".1.2.4.0"});
        QCOMPARE(Status(*window), status);
    }

    // Bit 7 on the left in every row; channel k+1 under the column of bit k;
    // the shared pins' labels under their channels. With the version
    // unanswered the boxes keep the template's states.
    void gridRunsFromBit7OnTheLeft()
    {
        SimModule sim(Module("4.073", R"("faults": {".1.1.8.0": {"silence": true}})"));
        auto window = Open(sim);
        QCOMPARE(window->windowTitle(), QString("I/O Ports"));
        QCOMPARE(Status(*window), kNoAnswer);
        QCOMPARE(Requests(sim), QStringList {".1.1.8.0"});
        QCOMPARE(Usable(*window, P3Box), 0x0F);
        QCOMPARE(Usable(*window, P5Box), 0xAA);
        QCOMPARE(Usable(*window, P6Box), 0x00);
        const auto x = [&](int id) { return Control(*window, id)->geometry().center().x(); };
        for (int bit = 0; bit < kPortBits; ++bit) {
            QVERIFY(x(P5Box(bit)) == x(P3Box(bit)) && x(P6Box(bit)) == x(P3Box(bit)));
            QVERIFY(qAbs(x(kAnalogEdits[bit]) - x(P3Box(bit))) < 4);
            QVERIFY(bit == 0 || x(P3Box(bit)) < x(P3Box(bit - 1)));
        }
        const QList<QLabel*> labels = window->findChildren<QLabel*>();
        for (int channel : {3, 5, 7}) {
            const QString caption = QStringLiteral("CH%1 (P6.%1)").arg(channel);
            const auto label
                = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == caption; });
            QVERIFY2(label != labels.end(), qPrintable(caption));
            QVERIFY(qAbs((*label)->geometry().center().x() - x(kAnalogEdits[channel - 1])) < 4);
        }
    }
};

QTEST_MAIN(TestIoPorts)
#include "test_win_io_ports.moc"
