// "Read Settings" against simulated modules of every feature level: which
// objects are read and in which order, the fields they fill, the captions and
// states the window takes on, and what a refused version or a failed read
// leaves behind.

#include <QtTest>

#include <map>
#include <memory>
#include <set>
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

const char* const kRefused = "Uncorrect firmware version. Use this tool for firmware version >= 4.050!";
const char* const kNewerVersion
    = "Target IP module has newer version, than Kalvor supports!\nPlease, update Kalvor to the latest version!";
const char* const kLabel42ms = "Restart Pulse Width (x42ms)";
const char* const kLabelQuarter = "Restart Pulse Width (x0.25s)";

// The objects the module was asked for, relative to the enterprise prefix.
// Every request must be a read with the read-only community.
QStringList ReadObjects(const SimModule& sim)
{
    QStringList objects;
    for (const JournalEntry& entry : sim.Journal()) {
        const bool plainRead = entry.op == "get" && entry.community == kReadCommunity;
        objects << QString::fromStdString(entry.oid.substr(kPrefix.size())) + (plainRead ? "" : " (not a read)");
    }
    return objects;
}

// ---- What each feature level reads and how it lays out the window ----------

const QStringList kSevenObjects = {".1.1.1.0", ".1.1.2.0", ".1.1.3.0", ".1.1.5.0", ".1.1.6.0", ".1.1.7.0", ".1.1.9.0"};
const QStringList kEightObjects = kSevenObjects + QStringList {".1.1.11.0"};
const QStringList kTenObjects = kEightObjects + QStringList {".1.1.13.0", ".1.1.12.0"};
const QStringList kFourteenObjects = kTenObjects + QStringList {".1.1.15.0", ".1.1.14.0", ".1.1.32.0", ".1.1.16.0"};
const QStringList kAccessObjects = {".1.1.20.0", ".1.1.21.0"};
const QStringList kVersionObject = {".1.1.8.0"};

// Buttons and address controls whose enabled state the feature level decides.
const std::vector<int> kLevelControls
    = {IDC_SET_IP, IDC_SET_MAC_LOCK1, IDC_SET_MAC_LOCK2, IDC_SET_VLAN_TAG, IDC_CHANGE_RW_PASS, IDC_SET_PING_RESTART,
        IDC_SET_MODES, IDC_SET_PING_COUNT, IDC_SET_RESTART_PULSE, IDC_SET_NETWORK_MASK, IDC_SET_GATEWAY,
        IDC_SET_TFTP_SERVER, IDC_SET_MONITOR_IP, IDC_SET_ACCESS_IP, IDC_SET_ACCESS_MASK, IDC_NETWORK_MASK, IDC_GATEWAY,
        IDC_TFTP_SERVER, IDC_MONITOR_IP, IDC_ACCESS_IP, IDC_ACCESS_MASK, IDC_SNMP_TRAPS, IDC_FIRMWARE_UPDATE,
        IDC_CHANGE_RO_PASS, IDC_SWITCH_CONFIGURATION, IDC_SWITCH_STATUS, IDC_MAC_SEARCH, IDC_RS232};
const std::vector<int> kModeBoxes
    = {1016, 1017, 1018, 1019, 1020, 1022, 1023, 1024, 1026, 1031, 1032, 1083, 1084, 1085, 1086, 1087};
const std::vector<int> kSettingsEdits = {IDC_MAC_LOCK2, IDC_MAC_LOCK1, IDC_PING_RESTART_MIN, IDC_VLAN_TAG,
    IDC_PING_RESTART_COUNT, IDC_RESTART_PULSE, IDC_MAC, IDC_VERSION};

using Set = std::set<int>;
Set operator+(Set a, const Set& b)
{
    a.insert(b.begin(), b.end());
    return a;
}
Set operator-(Set a, const Set& b)
{
    for (int id : b)
        a.erase(id);
    return a;
}

const Set kAlwaysSet = {IDC_SET_IP, IDC_SET_MAC_LOCK1, IDC_SET_MAC_LOCK2, IDC_SET_VLAN_TAG, IDC_CHANGE_RW_PASS,
    IDC_SET_PING_RESTART, IDC_SET_MODES};
const Set kCountAndPulse = {IDC_SET_PING_COUNT, IDC_SET_RESTART_PULSE};
const Set kNetworkControls
    = {IDC_SET_NETWORK_MASK, IDC_SET_GATEWAY, IDC_SET_TFTP_SERVER, IDC_SET_MONITOR_IP, IDC_NETWORK_MASK, IDC_GATEWAY,
        IDC_TFTP_SERVER, IDC_MONITOR_IP, IDC_SNMP_TRAPS, IDC_FIRMWARE_UPDATE, IDC_CHANGE_RO_PASS};
const Set kAccessControls = {IDC_SET_ACCESS_IP, IDC_SET_ACCESS_MASK, IDC_ACCESS_IP, IDC_ACCESS_MASK};
const Set kSwitchButtons = {IDC_SWITCH_CONFIGURATION, IDC_SWITCH_STATUS, IDC_MAC_SEARCH};
const Set kWord1Boxes = {1016, 1017, 1018, 1019, 1020, 1022, 1023, 1024};
const Set kWord2Boxes = {1026, 1031, 1032, 1083, 1084, 1085, 1086, 1087};
const Set kExtraBoxes = {1083, 1084, 1085, 1086, 1087};
const Set kAllBoxes = kWord1Boxes + kWord2Boxes;
const Set kStep1Edits = {IDC_MAC_LOCK2, IDC_MAC_LOCK1, IDC_PING_RESTART_MIN, IDC_VLAN_TAG};
const Set kCountAndPulseEdits = {IDC_PING_RESTART_COUNT, IDC_RESTART_PULSE};

using Captions = std::map<int, QString>;
Captions With(Captions captions, const Captions& changes)
{
    for (const auto& [id, caption] : changes)
        captions[id] = caption;
    return captions;
}
Captions NotAvailable(const Set& boxes)
{
    Captions captions;
    for (int id : boxes)
        captions[id] = "N/A";
    return captions;
}

const Captions kTemplateCaptions
    = {{1016, "SNMP access to IP settings"}, {1017, "Skip broadcast packets"}, {1018, "VLAN tagged mode"},
        {1019, "Drop large packets"}, {1020, "Ping timeout restart"}, {1022, "Trellim control mode*"},
        {1023, "Secondary RST pin"}, {1024, "P6 Analog mode*"}, {1026, "Save I/O states"}, {1031, "Ping LED (P3.3)"},
        {1032, "I/O reset at Ping Restart"}, {1083, ""}, {1084, ""}, {1085, ""}, {1086, ""}, {1087, ""}};
const Captions kFrom4070Captions = With(kTemplateCaptions,
    {{1019, "N/A"}, {1020, "Ping timeout restart"}, {1022, "Trellim control mode"}, {1023, "Restart target on timeout"},
        {1024, "N/A"}, {1026, "N/A"}, {1031, "Ping LED enable"}, {1032, "I/O reset at Ping Restart"},
        {1083, "TFTP enabled"}, {1084, "DHCP client enabled"}, {1085, "Remote ping restart"},
        {1086, "WEB Server enabled"}, {1087, "Restart switch on timeout"}});
const Set kFrom4070Controls = kAlwaysSet + kCountAndPulse + kNetworkControls;
const Set kFrom4070Boxes = kAllBoxes - Set {1019, 1024, 1026};

struct Level {
    const char* name;
    std::string state;  // simulated module
    QStringList reads;  // objects read, in order
    QString status;
    QString version;
    QString label;  // label 1082
    Set enabled;  // of kLevelControls and the mode boxes; the others disabled
    Captions captions;  // of the mode boxes
    Set editable;  // of kSettingsEdits; the others read-only
};

const std::vector<Level>& Levels()
{
    static const std::vector<Level> levels = {
        // Minor 40 passes although the refusal message names 4.050.
        {"4.040", R"({"firmware": "4.040"})", kVersionObject + kSevenObjects, kDataReceived, "4.040", kLabel42ms,
            kAlwaysSet + kSwitchButtons + Set {1016, 1017, 1018, 1019, 1020, 1022},
            With(kTemplateCaptions, NotAvailable(Set {1023, 1024, 1026, 1031, 1032} + kExtraBoxes)), kStep1Edits},
        {"4.050", R"({"firmware": "4.050"})", kVersionObject + kSevenObjects, kDataReceived, "4.050", kLabel42ms,
            kAlwaysSet + kSwitchButtons + Set {1016, 1017, 1018, 1019, 1020, 1022},
            With(kTemplateCaptions, NotAvailable(Set {1023, 1024, 1026, 1031, 1032} + kExtraBoxes)), kStep1Edits},
        {"4.062", R"({"firmware": "4.062"})", kVersionObject + kEightObjects, kDataReceived, "4.062", kLabel42ms,
            kAlwaysSet + kSwitchButtons + kWord1Boxes + Set {1026},
            With(kTemplateCaptions, NotAvailable(Set {1031, 1032} + kExtraBoxes)), kStep1Edits},
        {"4.066", R"({"firmware": "4.066"})", kVersionObject + kTenObjects, kDataReceived, "4.066", kLabel42ms,
            kAlwaysSet + kCountAndPulse + kSwitchButtons + (kAllBoxes - kExtraBoxes),
            With(kTemplateCaptions, With(NotAvailable(kExtraBoxes), {{1016, "Nubrel settings SNMP access"}})),
            kStep1Edits + kCountAndPulseEdits},
        // Nothing is read beyond the version: the boxes keep the fresh window's
        // (cleared) states, so the switch buttons stay off.
        {"4.067", R"({"firmware": "4.067"})", kVersionObject, kDataReceived, "4.067", kLabel42ms,
            kAlwaysSet + kAllBoxes, kTemplateCaptions, kStep1Edits},
        {"4.073 RS-232", R"({"firmware": "4.073"})", kVersionObject + kFourteenObjects, kDataReceived, "4.073",
            kLabelQuarter, kFrom4070Controls + kSwitchButtons + Set {IDC_RS232} + kFrom4070Boxes + Set {1024, 1026},
            With(kFrom4070Captions, {{1024, "RS-232 Enabled"}, {1026, "Save I/O states"}}),
            kStep1Edits + kCountAndPulseEdits},
        {"4.073 no RS-232", R"({"firmware": "4.073", "objects": {".1.1.9.0": {"value": 32}}})",
            kVersionObject + kFourteenObjects, kDataReceived, "4.073", kLabelQuarter,
            kFrom4070Controls + kSwitchButtons + kFrom4070Boxes + Set {1024, 1026},
            With(kFrom4070Captions, {{1024, "RS-232 Enabled"}, {1026, "Save I/O states"}}),
            kStep1Edits + kCountAndPulseEdits},
        // Switch control bit set, but minor 75 has no switch board support.
        {"4.075", R"({"firmware": "4.075"})", kVersionObject + kFourteenObjects, kDataReceived, "4.075", kLabelQuarter,
            kFrom4070Controls + kFrom4070Boxes, kFrom4070Captions, kStep1Edits + kCountAndPulseEdits},
        {"4.078", R"({"firmware": "4.078"})", kVersionObject + kAccessObjects + kFourteenObjects, kDataReceived,
            "4.078", kLabelQuarter, kFrom4070Controls + kAccessControls + kSwitchButtons + kFrom4070Boxes + Set {1026},
            With(kFrom4070Captions, {{1026, "Save I/O states"}}), kStep1Edits + kCountAndPulseEdits},
        {"4.079", R"({"firmware": "4.079"})", kVersionObject + kAccessObjects + kFourteenObjects, kDataReceived,
            "4.079", kLabelQuarter, kFrom4070Controls + kAccessControls + kFrom4070Boxes + Set {1026},
            With(kFrom4070Captions, {{1026, "Save I/O states"}}), kStep1Edits + kCountAndPulseEdits},
        {"4.080", R"({"firmware": "4.080"})", kVersionObject + kFourteenObjects, kDataReceived, "4.080", kLabelQuarter,
            kFrom4070Controls + kSwitchButtons + kFrom4070Boxes, kFrom4070Captions, kStep1Edits + kCountAndPulseEdits},
        // A major above 4: the minor picks the read (ten objects for 66,
        // nothing more for 70), the version number the layout.
        {"5.066", R"({"firmware": "5.066"})", kVersionObject + kTenObjects, kDataReceived, "5.066", kLabelQuarter,
            kFrom4070Controls + kSwitchButtons + kFrom4070Boxes, kFrom4070Captions, kStep1Edits + kCountAndPulseEdits},
        {"5.070", R"({"firmware": "5.070"})", kVersionObject, kDataReceived, "5.070", kLabelQuarter,
            kFrom4070Controls + kFrom4070Boxes, kFrom4070Captions, kStep1Edits + kCountAndPulseEdits},
        // Minors 78 and 79 read the access filter whatever the major; only
        // major 4 goes on to the fourteen objects.
        {"5.079", R"({"firmware": "5.079"})", kVersionObject + kAccessObjects, kDataReceived, "5.079", kLabelQuarter,
            kFrom4070Controls + kAccessControls + kFrom4070Boxes + Set {1026},
            With(kFrom4070Captions, {{1026, "Save I/O states"}}), kStep1Edits + kCountAndPulseEdits},
        {"3.080", R"({"firmware": "3.080"})", kVersionObject, kRefused, "3.080", kLabel42ms, kAllBoxes,
            kTemplateCaptions, {}},
        {"4.039", R"({"firmware": "4.039"})", kVersionObject, kRefused, "4.039", kLabel42ms, kAllBoxes,
            kTemplateCaptions, {}},
    };
    return levels;
}

// Stands in for a sub-window; counts the live ones.
struct Probe : CDialog {
    static inline int alive = 0;
    explicit Probe(const SubWindowArgs&) : CDialog(Template()) { ++alive; }
    ~Probe() override { --alive; }
    static const DialogTemplate& Template()
    {
        static const DialogTemplate tpl {998, "Probe", 60, 30, {}};
        return tpl;
    }
};

QString Describe(int id) { return QString::number(id); }

}  // namespace

class TestReadSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // ---- Feature levels ---------------------------------------------------

    void featureLevel_data()
    {
        QTest::addColumn<int>("level");
        for (size_t i = 0; i < Levels().size(); ++i)
            QTest::newRow(Levels()[i].name) << int(i);
    }

    void featureLevel()
    {
        QFETCH(int, level);
        const Level& expected = Levels()[size_t(level)];
        SimModule sim(expected.state);
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        Press(*window, IDC_READ_SETTINGS);

        QCOMPARE(ReadObjects(sim), expected.reads);
        QCOMPARE(Status(*window), expected.status);
        QCOMPARE(Text(*window, IDC_VERSION), expected.version);
        QCOMPARE(Text(*window, IDC_PULSE_WIDTH_LABEL), expected.label);
        for (int id : kLevelControls)
            QVERIFY2(Enabled(*window, id) == (expected.enabled.count(id) > 0),
                qPrintable(Describe(id) + (Enabled(*window, id) ? " enabled" : " disabled")));
        for (int id : kModeBoxes) {
            QVERIFY2(Enabled(*window, id) == (expected.enabled.count(id) > 0),
                qPrintable(Describe(id) + (Enabled(*window, id) ? " enabled" : " disabled")));
            QCOMPARE(Text(*window, id), expected.captions.at(id));
        }
        for (int id : kSettingsEdits)
            QVERIFY2(ReadOnly(*window, id) == (expected.editable.count(id) == 0),
                qPrintable(Describe(id) + (ReadOnly(*window, id) ? " read-only" : " editable")));
        QVERIFY(Enabled(*window, IDC_READ_SETTINGS));
        QVERIFY(Enabled(*window, IDC_IO_PORTS));
        QCOMPARE(ui.BoxTexts(), expected.version == "4.080" ? QStringList {kNewerVersion} : QStringList {});
    }

    void newerVersionIsWarnedAboutBeforeTheReadGoesOn()
    {
        SimModule sim(R"({"firmware": "4.080"})");
        auto window = OpenMainWindow(sim);
        struct VersionAtBox : ScriptedUi {
            CMainDlg* window = nullptr;
            QString versionAtBox;
            int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned flags) override
            {
                versionAtBox = Text(*window, IDC_VERSION);
                return ScriptedUi::MessageBox(parent, text, caption, flags);
            }
        } ui;
        ui.window = window.get();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(ui.Boxes().size(), size_t(1));
        QCOMPARE(ui.Boxes()[0].text, QString(kNewerVersion));
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
        QCOMPARE(ui.versionAtBox, QString());  // the box comes before the version shows
        QCOMPARE(Text(*window, IDC_VERSION), QString("4.080"));
        QCOMPARE(Ip(*window, IDC_TFTP_SERVER), QString("127.0.0.10"));
    }

    // ---- Fields -----------------------------------------------------------

    void fieldsOfTheFullRead()
    {
        SimModule sim(R"({"firmware": "4.079", "objects": {
            ".1.1.1.0": {"value": "127.1.2.3"}, ".1.1.2.0": {"type": "x", "value": "00 0A 1B 2C 3D 4E"},
            ".1.1.3.0": {"value": 100}, ".1.1.5.0": {"type": "x", "value": "00 11 22 33 44 55"},
            ".1.1.6.0": {"type": "x", "value": "aa bb cc dd ee ff"}, ".1.1.7.0": {"value": 15},
            ".1.1.9.0": {"value": "0x155"}, ".1.1.11.0": {"value": "0xAA"}, ".1.1.13.0": {"value": 9},
            ".1.1.12.0": {"value": 1234}, ".1.1.15.0": {"value": "255.255.0.0"},
            ".1.1.14.0": {"value": "127.0.0.254"}, ".1.1.32.0": {"value": "127.0.0.10"},
            ".1.1.16.0": {"value": "127.9.8.7"}, ".1.1.20.0": {"value": "127.0.5.0"},
            ".1.1.21.0": {"value": "255.255.255.128"}}})");
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        Press(*window, IDC_READ_SETTINGS);

        QCOMPARE(Ip(*window, IDC_IP), QString("127.1.2.3"));
        QCOMPARE(Text(*window, IDC_MAC), QString("00 0A 1B 2C 3D 4E"));
        QCOMPARE(Text(*window, IDC_MAC_LOCK1), QString("00 11 22 33 44 55"));
        QCOMPARE(Text(*window, IDC_MAC_LOCK2), QString("AA BB CC DD EE FF"));
        QCOMPARE(Text(*window, IDC_VLAN_TAG), QString("100"));
        QCOMPARE(Text(*window, IDC_PING_RESTART_MIN), QString("15"));
        QCOMPARE(Text(*window, IDC_PING_RESTART_COUNT), QString("10"));
        QCOMPARE(Text(*window, IDC_RESTART_PULSE), QString("1234"));
        QCOMPARE(Ip(*window, IDC_NETWORK_MASK), QString("255.255.0.0"));
        QCOMPARE(Ip(*window, IDC_GATEWAY), QString("127.0.0.254"));
        QCOMPARE(Ip(*window, IDC_TFTP_SERVER), QString("127.0.0.10"));
        QCOMPARE(Ip(*window, IDC_MONITOR_IP), QString("127.9.8.7"));
        QCOMPARE(Ip(*window, IDC_ACCESS_IP), QString("127.0.5.0"));
        QCOMPARE(Ip(*window, IDC_ACCESS_MASK), QString("255.255.255.128"));

        // Word 1 = 0x55 (bit 8 of the module's 0x155 dropped), word 2 = 0xAA.
        QCOMPARE(window->ModeWord1(), 0x55u);
        QCOMPARE(window->ModeWord2(), 0xAAu);
        const std::map<int, bool> boxes = {{1016, true}, {1017, false}, {1018, true}, {1019, false}, {1020, true},
            {1022, false}, {1023, true}, {1024, false}, {1026, false}, {1031, true}, {1032, false}, {1083, true},
            {1084, false}, {1085, true}, {1086, false}, {1087, true}};
        for (const auto& [id, checked] : boxes)
            QVERIFY2(Checked(*window, id) == checked, qPrintable(Describe(id)));
        QCOMPARE(window->Major(), uint8_t(4));
        QCOMPARE(window->Minor(), uint8_t(79));
        QVERIFY(ui.Boxes().empty());  // 4.079 is the last version without the warning
    }

    void sevenObjectReadClearsTheSecondModeWord()
    {
        SimModule sim(R"({"firmware": "4.050", "objects": {".1.1.9.0": {"value": 3}, ".1.1.11.0": {"value": 255}}})");
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        for (int id : kWord2Boxes)
            SetChecked(*window, id, true);
        SetText(*window, IDC_PING_RESTART_COUNT, "77");
        Press(*window, IDC_READ_SETTINGS);
        for (int id : kWord2Boxes)
            QVERIFY2(!Checked(*window, id), qPrintable(Describe(id)));
        QVERIFY(Checked(*window, 1016));
        QVERIFY(Checked(*window, 1017));
        QVERIFY(!Checked(*window, 1022));
        QCOMPARE(window->ModeWord1(), 3u);
        QCOMPARE(window->ModeWord2(), 0u);
        // Neither count nor pulse width is read at this level; the address
        // controls of later firmware are emptied.
        QCOMPARE(Text(*window, IDC_PING_RESTART_COUNT), QString("77"));
        for (int id : {IDC_NETWORK_MASK, IDC_GATEWAY, IDC_TFTP_SERVER, IDC_MONITOR_IP})
            QVERIFY2(IpBlank(*window, id), qPrintable(Describe(id)));
    }

    // The MAC text is six bytes in hex, whether the library printed them in
    // hex or, being printable, as a quoted string.
    void macTextShowsSixBytes_data()
    {
        QTest::addColumn<QString>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("six bytes") << "00 11 22 33 44 55"
                                   << "00 11 22 33 44 55";
        QTest::newRow("eight bytes") << "00 11 22 33 44 55 66 77"
                                     << "00 11 22 33 44 55";
        QTest::newRow("printable bytes") << "41 42 43 44 45 46"
                                         << "41 42 43 44 45 46";
        QTest::newRow("quote and backslash") << "41 22 42 5C 43 44"
                                             << "41 22 42 5C 43 44";
    }

    void macTextShowsSixBytes()
    {
        QFETCH(QString, bytes);
        QFETCH(QString, shown);
        SimModule sim(QString(R"({"objects": {".1.1.5.0": {"type": "x", "value": "%1"}}})").arg(bytes).toStdString());
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString(kDataReceived));
        QCOMPARE(Text(*window, IDC_MAC_LOCK1), shown);
    }

    void pingRestartsCountIsShownPlusOne_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<QString>("shown");
        QTest::newRow("255") << 255 << "256";
        QTest::newRow("0") << 0 << "1";
        QTest::newRow("99") << 99 << "100";
    }

    void pingRestartsCountIsShownPlusOne()
    {
        QFETCH(int, held);
        QFETCH(QString, shown);
        SimModule sim(
            QString(R"({"firmware": "4.066", "objects": {".1.1.13.0": {"value": %1}}})").arg(held).toStdString());
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_PING_RESTART_COUNT), shown);
    }

    // ---- Community strings --------------------------------------------------

    void olderFirmwareCopiesTheReadOnlyStringIntoTheReadWriteField_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<bool>("copied");
        QTest::newRow("4.050") << "4.050" << false;
        QTest::newRow("4.060") << "4.060" << true;
        QTest::newRow("4.066") << "4.066" << true;
        QTest::newRow("4.073") << "4.073" << false;
    }

    void olderFirmwareCopiesTheReadOnlyStringIntoTheReadWriteField()
    {
        QFETCH(QString, firmware);
        QFETCH(bool, copied);
        SimModule sim(QString(R"({"firmware": "%1"})").arg(firmware).toStdString());
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        SetText(*window, IDC_RW_COMMUNITY, "otherstring");
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString(kDataReceived));
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), copied ? QString(kReadCommunity) : QString("otherstring"));
        QCOMPARE(Text(*window, IDC_RO_COMMUNITY), QString(kReadCommunity));
    }

    // ---- One module after another -------------------------------------------

    void laterReadsKeepWhatTheirLevelDoesNotName()
    {
        ScriptedUi ui;
        SimModule first(R"({"firmware": "4.050"})");
        auto window = OpenMainWindow(first);
        Press(*window, IDC_READ_SETTINGS);
        QVERIFY(!Enabled(*window, IDC_MODE_PING_LED));
        QCOMPARE(Text(*window, IDC_MODE_PING_LED), QString("N/A"));

        // Minor 66 relabels the ping LED box but does not enable it again.
        SimModule second(R"({"firmware": "4.066"})");
        second.Use();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_VERSION), QString("4.066"));
        QCOMPARE(Text(*window, IDC_MODE_PING_LED), QString("Ping LED (P3.3)"));
        QVERIFY(!Enabled(*window, IDC_MODE_PING_LED));
        QVERIFY(Enabled(*window, IDC_MODE_IO_RESET));

        // From 4.070 on the first three boxes are not relabelled: they keep
        // the captions minor 66 gave them.
        SimModule third(R"({"firmware": "4.073"})");
        third.Use();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_VERSION), QString("4.073"));
        QCOMPARE(Text(*window, IDC_MODE_SNMP_ACCESS), QString("Nubrel settings SNMP access"));
        QCOMPARE(Text(*window, IDC_MODE_PING_LED), QString("Ping LED enable"));
        QVERIFY(!Enabled(*window, IDC_MODE_PING_LED));
        QVERIFY(Enabled(*window, IDC_RS232));

        // Back to an older module: the newer controls are cleared and disabled.
        SimModule fourth(R"({"firmware": "4.062", "objects": {".1.1.9.0": {"value": 0}}})");
        fourth.Use();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_VERSION), QString("4.062"));
        for (int id : {IDC_NETWORK_MASK, IDC_GATEWAY, IDC_TFTP_SERVER, IDC_MONITOR_IP}) {
            QVERIFY2(IpBlank(*window, id), qPrintable(Describe(id)));
            QVERIFY2(!Enabled(*window, id), qPrintable(Describe(id)));
        }
        QCOMPARE(Text(*window, IDC_PULSE_WIDTH_LABEL), QString(kLabel42ms));
        QVERIFY(Enabled(*window, IDC_MODE_DROP_LARGE));
        QVERIFY(!Enabled(*window, IDC_RS232));
        for (int id : kSwitchButtons)
            QVERIFY2(!Enabled(*window, id), qPrintable(Describe(id)));
        // Set 1080 and 1081 and their edits were enabled by 4.073; 4.062 takes them back.
        QVERIFY(!Enabled(*window, IDC_SET_PING_COUNT));
        QVERIFY(ReadOnly(*window, IDC_PING_RESTART_COUNT));
    }

    void switchAndSerialButtonsFollowTheModeWord_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<int>("word1");
        QTest::addColumn<bool>("switchButtons");
        QTest::addColumn<bool>("serialButton");
        QTest::newRow("4.073 both bits") << "4.073" << 0xA0 << true << true;
        QTest::newRow("4.073 switch only") << "4.073" << 0x20 << true << false;
        QTest::newRow("4.073 RS-232 only") << "4.073" << 0x80 << false << true;
        QTest::newRow("4.073 neither") << "4.073" << 0x5F << false << false;
        QTest::newRow("4.075 both bits") << "4.075" << 0xA0 << false << false;
        QTest::newRow("4.079 both bits") << "4.079" << 0xA0 << false << false;
        QTest::newRow("4.076 both bits") << "4.076" << 0xA0 << true << false;
        QTest::newRow("4.066 both bits") << "4.066" << 0xA0 << true << false;
    }

    // Each row follows a read of a module with both bits set, so a button the
    // row expects disabled has really been switched off.
    void switchAndSerialButtonsFollowTheModeWord()
    {
        QFETCH(QString, firmware);
        QFETCH(int, word1);
        QFETCH(bool, switchButtons);
        QFETCH(bool, serialButton);
        ScriptedUi ui;
        SimModule before;  // 4.073 with both bits
        auto window = OpenMainWindow(before);
        Press(*window, IDC_READ_SETTINGS);
        QVERIFY(Enabled(*window, IDC_RS232));
        QVERIFY(Enabled(*window, IDC_SWITCH_CONFIGURATION));

        SimModule sim(QString(R"({"firmware": "%1", "objects": {".1.1.9.0": {"value": %2}}})")
                          .arg(firmware)
                          .arg(word1)
                          .toStdString());
        sim.Use();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_VERSION), firmware);
        for (int id : kSwitchButtons)
            QVERIFY2(Enabled(*window, id) == switchButtons, qPrintable(Describe(id)));
        QCOMPARE(Enabled(*window, IDC_RS232), serialButton);
        QCOMPARE(Checked(*window, IDC_MODE_SWITCH_CONTROL), bool(word1 & 0x20));
    }

    // ---- Refused versions and failed reads ------------------------------------

    void refusedVersionKeepsTheEarlierRead_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::newRow("3.080") << "3.080";
        QTest::newRow("4.039") << "4.039";
        QTest::newRow("0.000") << "0";
    }

    void refusedVersionKeepsTheEarlierRead()
    {
        QFETCH(QString, firmware);
        ScriptedUi ui;
        SimModule good;
        auto window = OpenMainWindow(good);
        Press(*window, IDC_READ_SETTINGS);
        const QString vlan = Text(*window, IDC_VLAN_TAG);
        const QString mask = Ip(*window, IDC_NETWORK_MASK);

        const QString value = firmware.contains('.') ? QString("\"%1\"").arg(firmware) : firmware;
        SimModule refused(
            QString(R"({"firmware": %1, "objects": {".1.1.3.0": {"value": 4000}}})").arg(value).toStdString());
        refused.Use();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString(kRefused));
        QCOMPARE(Text(*window, IDC_VERSION), firmware.contains('.') ? firmware : QString("0.000"));
        QCOMPARE(ReadObjects(refused), kVersionObject);
        QCOMPARE(Text(*window, IDC_MAC), QString("00 0A 1B 2C 3D 4E"));
        QCOMPARE(Text(*window, IDC_VLAN_TAG), vlan);
        QCOMPARE(Ip(*window, IDC_NETWORK_MASK), mask);
        QVERIFY(Enabled(*window, IDC_SET_NETWORK_MASK));
        // The window buttons say nothing about a refused module: only I/O ports.
        for (int id : {IDC_RS232, IDC_SNMP_TRAPS, IDC_SWITCH_CONFIGURATION})
            QVERIFY2(!Enabled(*window, id), qPrintable(Describe(id)));
        QVERIFY(Enabled(*window, IDC_IO_PORTS));
        QCOMPARE(Text(*window, IDC_PULSE_WIDTH_LABEL), QString(kLabelQuarter));
        QVERIFY(ui.Boxes().empty());
    }

    void failedSettingsReadClearsTheFieldsButKeepsTheLayout()
    {
        ScriptedUi ui;
        SimModule good(R"({"objects": {".1.1.3.0": {"value": 300}, ".1.1.7.0": {"value": 20},
                                       ".1.1.13.0": {"value": 9}, ".1.1.12.0": {"value": 77},
                                       ".1.1.1.0": {"value": "127.0.0.1"}}})");
        // A probe stands in for the I/O ports window.
        auto window = OpenMainWindow(good, {{IDC_IO_PORTS, SubWindow::IoPorts, MakeFactory<Probe>()}});
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_VLAN_TAG), QString("300"));
        QVERIFY(Checked(*window, IDC_MODE_SWITCH_CONTROL));
        QVERIFY(Checked(*window, IDC_MODE_EXTRA_FIRST));

        Press(*window, IDC_IO_PORTS);
        QCOMPARE(Probe::alive, 1);

        // The TFTP server, 13th of the fourteen, never answers.
        SimModule failing(R"({"faults": {".1.1.32.0": {"silence": true}}})");
        failing.Use();
        Press(*window, IDC_READ_SETTINGS);

        QCOMPARE(Status(*window), QString(kSnmpError).arg(-2));
        QCOMPARE(ReadObjects(failing), kVersionObject + kFourteenObjects.mid(0, 13));
        QCOMPARE(Probe::alive, 0);  // closed once the version had been read
        QCOMPARE(window->Major(), uint8_t(0));
        QCOMPARE(window->Minor(), uint8_t(0));
        QCOMPARE(Text(*window, IDC_VERSION), QString());
        QCOMPARE(Text(*window, IDC_MAC), QString());
        QCOMPARE(Text(*window, IDC_MAC_LOCK1), QString());
        QCOMPARE(Text(*window, IDC_MAC_LOCK2), QString());
        QCOMPARE(Text(*window, IDC_VLAN_TAG), QString("1"));
        QCOMPARE(Text(*window, IDC_PING_RESTART_MIN), QString("6"));
        for (int id : {IDC_NETWORK_MASK, IDC_GATEWAY, IDC_TFTP_SERVER, IDC_MONITOR_IP})
            QVERIFY2(IpBlank(*window, id), qPrintable(Describe(id)));
        for (int id : kWord1Boxes)
            QVERIFY2(!Checked(*window, id), qPrintable(Describe(id)));
        // Left as they were: the module address field, the second mode word,
        // count, pulse width, communities and the whole layout.
        QCOMPARE(Ip(*window, IDC_IP), QString("127.0.0.1"));
        QVERIFY(Checked(*window, IDC_MODE_EXTRA_FIRST));
        QCOMPARE(Text(*window, IDC_PING_RESTART_COUNT), QString("10"));
        QCOMPARE(Text(*window, IDC_RESTART_PULSE), QString("77"));
        QCOMPARE(window->ModeWord1(), 0xA0u);
        QCOMPARE(window->ModeWord2(), 0x08u);
        QCOMPARE(Text(*window, IDC_RW_COMMUNITY), QString("marbled"));
        QCOMPARE(Text(*window, IDC_PULSE_WIDTH_LABEL), QString(kLabelQuarter));
        for (int id : kFrom4070Controls)
            if (id != IDC_SNMP_TRAPS)
                QVERIFY2(Enabled(*window, id), qPrintable(Describe(id)));
        for (int id : {IDC_RS232, IDC_SNMP_TRAPS, IDC_SWITCH_CONFIGURATION, IDC_SWITCH_STATUS, IDC_MAC_SEARCH})
            QVERIFY2(!Enabled(*window, id), qPrintable(Describe(id)));
        QVERIFY(Enabled(*window, IDC_IO_PORTS));
        QCOMPARE(Text(*window, IDC_MODE_EXTRA_FIRST), QString("TFTP enabled"));
    }

    void failedVersionReadClearsTheFields()
    {
        ScriptedUi ui;
        SimModule good(R"({"firmware": "4.066", "objects": {".1.1.3.0": {"value": 42}}})");
        auto window = OpenMainWindow(good);
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Text(*window, IDC_VLAN_TAG), QString("42"));
        QVERIFY(Enabled(*window, IDC_SET_PING_COUNT));

        SimModule silent(R"({"faults": {".1.1.8.0": {"silence": true}}})");
        silent.Use();
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString(kSnmpError).arg(-2));
        QCOMPARE(ReadObjects(silent), kVersionObject);
        QCOMPARE(Text(*window, IDC_VERSION), QString());
        QCOMPARE(Text(*window, IDC_VLAN_TAG), QString("1"));
        QCOMPARE(Text(*window, IDC_MAC), QString());
        QCOMPARE(window->Minor(), uint8_t(0));
        QVERIFY(Enabled(*window, IDC_SET_PING_COUNT));
        QVERIFY(Enabled(*window, IDC_SET_MODES));
    }

    void moduleMissingOneObjectFailsTheRead_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("missing");
        QTest::addColumn<int>("asked");  // requests up to and including the missing one
        QTest::newRow("4.066 without count") << "4.066"
                                             << ".1.1.13.0" << 10;
        QTest::newRow("4.050 without MAC lock 2") << "4.050"
                                                  << ".1.1.6.0" << 6;
        QTest::newRow("4.079 without access mask") << "4.079"
                                                   << ".1.1.21.0" << 3;
        QTest::newRow("4.079 without monitor IP") << "4.079"
                                                  << ".1.1.16.0" << 17;
    }

    void moduleMissingOneObjectFailsTheRead()
    {
        QFETCH(QString, firmware);
        QFETCH(QString, missing);
        QFETCH(int, asked);
        SimModule sim(QString(R"({"firmware": "%1", "remove": ["%2"]})").arg(firmware, missing).toStdString());
        ScriptedUi ui;
        auto window = OpenMainWindow(sim);
        Press(*window, IDC_READ_SETTINGS);
        QCOMPARE(Status(*window), QString(kSnmpError).arg(-1));
        const QStringList read = ReadObjects(sim);
        QCOMPARE(read.size(), asked);
        QCOMPARE(read.last(), missing);
        QCOMPARE(Text(*window, IDC_VERSION), QString());
        QCOMPARE(Text(*window, IDC_MAC), QString());
        // No layout change: the window keeps its start-up state.
        QVERIFY(!Enabled(*window, IDC_SET_IP));
        QVERIFY(!Enabled(*window, IDC_SET_MODES));
        QCOMPARE(Text(*window, IDC_MODE_P6_ANALOG), QString("P6 Analog mode*"));
    }
};

QTEST_MAIN(TestReadSettings)
#include "test_win_read_settings.moc"
