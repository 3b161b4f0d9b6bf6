// The settings tables: which objects each firmware reads, the window layout by
// version, the mode-word bits, and MAC texts.

#include <QtTest>

#include <algorithm>

#include <variant>

#include "settings/FeatureLevels.h"
#include "core/MainDlg.h"
#include "settings/SetterTable.h"
#include "settings/MacText.h"
#include "settings/ModeBits.h"
#include "res/MainDlgIds.h"
#include "res/MainDlgTemplate.h"
#include "res/SwitchDlgTemplate.h"
#include "settings/SwitchTables.h"

Q_DECLARE_METATYPE(std::vector<ReadBatch>)

namespace {
const ControlChange* Find(const Layout& layout, int id)
{
    // The last change of a control is the one that stays.
    const ControlChange* found = nullptr;
    for (const ControlChange& change : layout.changes)
        if (change.id == id)
            found = &change;
    return found;
}
}  // namespace

class TestCoreTables : public QObject {
    Q_OBJECT
private slots:
    void readPlanByVersion_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<std::vector<ReadBatch>>("batches");
        QTest::addColumn<bool>("copy");
        using B = ReadBatch;
        QTest::newRow("4.040") << 0x0428 << std::vector<B> {B::Seven} << false;
        QTest::newRow("4.050") << 0x0432 << std::vector<B> {B::Seven} << false;
        QTest::newRow("4.061") << 0x043D << std::vector<B> {B::Seven} << false;
        QTest::newRow("4.060") << 0x043C << std::vector<B> {B::Eight} << true;
        QTest::newRow("4.065") << 0x0441 << std::vector<B> {B::Eight} << true;
        QTest::newRow("4.066") << 0x0442 << std::vector<B> {B::Ten} << true;
        QTest::newRow("4.067 reads nothing") << 0x0443 << std::vector<B> {} << false;
        QTest::newRow("4.055 reads nothing") << 0x0437 << std::vector<B> {} << false;
        QTest::newRow("4.070") << 0x0446 << std::vector<B> {B::Fourteen} << false;
        QTest::newRow("4.078") << 0x044E << std::vector<B> {B::Access, B::Fourteen} << false;
        QTest::newRow("4.080") << 0x0450 << std::vector<B> {B::Fourteen} << false;
        QTest::newRow("5.070 reads nothing") << 0x0546 << std::vector<B> {} << false;
        QTest::newRow("5.079 reads access only") << 0x054F << std::vector<B> {B::Access} << false;
        QTest::newRow("5.066 as 4.066") << 0x0542 << std::vector<B> {B::Ten} << true;
    }
    void readPlanByVersion()
    {
        QFETCH(int, word);
        QFETCH(std::vector<ReadBatch>, batches);
        QFETCH(bool, copy);
        const ReadPlan plan = PlanRead(FirmwareVersion::FromWord(word));
        QCOMPARE(plan.batches, batches);
        QCOMPARE(plan.copyRoToRw, copy);
    }

    void batchesAreNestedInSlotOrder()
    {
        const auto fourteen = BatchObjects(ReadBatch::Fourteen);
        QCOMPARE(fourteen.size(), size_t(14));
        QCOMPARE(BatchObjects(ReadBatch::Seven).size(), size_t(7));
        QCOMPARE(BatchObjects(ReadBatch::Ten)[8].oid, ".1.3.6.1.4.1.19865.1.1.13.0");
        QCOMPARE(BatchObjects(ReadBatch::Ten)[9].oid, ".1.3.6.1.4.1.19865.1.1.12.0");
        QCOMPARE(fourteen[12].oid, ".1.3.6.1.4.1.19865.1.1.32.0");
        QCOMPARE(fourteen[13].control, int(IDC_MONITOR_IP));
        const auto access = BatchObjects(ReadBatch::Access);
        QCOMPARE(access[0].oid, ".1.3.6.1.4.1.19865.1.1.20.0");
        QCOMPARE(access[1].control, int(IDC_ACCESS_MASK));
    }

    void versionAcceptance()
    {
        QVERIFY(FirmwareVersion::FromWord(0x0428).IsAccepted());
        QVERIFY(!FirmwareVersion::FromWord(0x0427).IsAccepted());
        QVERIFY(!FirmwareVersion::FromWord(0x0350).IsAccepted());
        QVERIFY(FirmwareVersion::FromWord(0x0546).IsAccepted());
        QVERIFY(FirmwareVersion::FromWord(0x0450).IsNewerThanSupported());
        QVERIFY(!FirmwareVersion::FromWord(0x044F).IsNewerThanSupported());
        QVERIFY(!FirmwareVersion::FromWord(0x0550).IsNewerThanSupported());
        // Bits above 15 are ignored; the minor prints with three digits.
        QCOMPARE(FirmwareVersion::FromWord(0x7F0432).Text(), QString("4.050"));
        QCOMPARE(FirmwareVersion::FromWord(0x0446).Number(), uint16_t(1094));
    }

    void layoutBelow4070ByMinorColumn()
    {
        const Layout first = LayoutFor(FirmwareVersion::FromWord(0x0432));  // 4.050
        QCOMPARE(QString(first.pulseWidthLabel), QString("Restart Pulse Width (x42ms)"));
        QCOMPARE(QString(Find(first, IDC_MODE_SAVE_IO)->caption), QString("N/A"));
        QCOMPARE(Find(first, IDC_MODE_SAVE_IO)->state, ControlState::Disable);
        QCOMPARE(Find(first, IDC_SET_PING_COUNT)->state, ControlState::Disable);
        QCOMPARE(Find(first, IDC_NETWORK_MASK)->state, ControlState::ClearAndDisable);
        QVERIFY(!Find(first, IDC_MODE_SNMP_ACCESS));

        const Layout second = LayoutFor(FirmwareVersion::FromWord(0x0441));  // 4.065
        QCOMPARE(QString(Find(second, IDC_MODE_SAVE_IO)->caption), QString("Save I/O states"));
        QCOMPARE(Find(second, IDC_MODE_SAVE_IO)->state, ControlState::Enable);
        QVERIFY(!Find(second, IDC_MODE_SECONDARY_RST));

        const Layout third = LayoutFor(FirmwareVersion::FromWord(0x0442));  // 4.066
        QCOMPARE(QString(Find(third, IDC_MODE_SNMP_ACCESS)->caption), QString("Nubrel settings SNMP access"));
        // The ping LED box is relabelled but not enabled.
        QCOMPARE(Find(third, IDC_MODE_PING_LED)->state, ControlState::Keep);
        QCOMPARE(Find(third, IDC_SET_RESTART_PULSE)->state, ControlState::Enable);
        QCOMPARE(Find(third, IDC_RESTART_PULSE)->state, ControlState::Editable);
        QCOMPARE(Find(third, 1087)->state, ControlState::Disable);

        const Layout none = LayoutFor(FirmwareVersion::FromWord(0x0443));  // 4.067: no column
        QVERIFY(!Find(none, IDC_MODE_SAVE_IO));
        QCOMPARE(Find(none, IDC_SET_MODES)->state, ControlState::Enable);
        QCOMPARE(Find(none, IDC_MODE_DROP_LARGE)->state, ControlState::Enable);
    }

    void layoutFrom4070ByMinor()
    {
        const Layout plain = LayoutFor(FirmwareVersion::FromWord(0x0446));  // 4.070
        QCOMPARE(QString(plain.pulseWidthLabel), QString("Restart Pulse Width (x0.25s)"));
        QCOMPARE(QString(Find(plain, 1083)->caption), QString("TFTP enabled"));
        QCOMPARE(QString(Find(plain, 1087)->caption), QString("Restart switch on timeout"));
        QCOMPARE(Find(plain, IDC_MODE_SAVE_IO)->state, ControlState::Disable);
        QCOMPARE(Find(plain, IDC_SET_ACCESS_IP)->state, ControlState::Disable);
        QCOMPARE(Find(plain, IDC_FIRMWARE_UPDATE)->state, ControlState::Enable);
        QVERIFY(!plain.rs232Possible);

        const Layout serial = LayoutFor(FirmwareVersion::FromWord(0x0449));  // 4.073
        QCOMPARE(QString(Find(serial, IDC_MODE_P6_ANALOG)->caption), QString("RS-232 Enabled"));
        QCOMPARE(Find(serial, IDC_MODE_P6_ANALOG)->state, ControlState::Enable);
        QCOMPARE(Find(serial, IDC_MODE_SAVE_IO)->state, ControlState::Enable);
        QVERIFY(serial.rs232Possible);

        const Layout access = LayoutFor(FirmwareVersion::FromWord(0x044F));  // 4.079
        QCOMPARE(Find(access, IDC_SET_ACCESS_MASK)->state, ControlState::Enable);
        QCOMPARE(Find(access, IDC_ACCESS_IP)->state, ControlState::Enable);

        const Layout major5 = LayoutFor(FirmwareVersion::FromWord(0x0549));  // 5.073
        QVERIFY(major5.rs232Possible);
        QCOMPARE(Find(LayoutFor(FirmwareVersion::FromWord(0x044B)), IDC_MODE_SAVE_IO)->state,
            ControlState::Disable);  // 4.075
    }

    void switchButtons()
    {
        QVERIFY(SwitchButtonsUsable(FirmwareVersion::FromWord(0x0449), true));
        QVERIFY(!SwitchButtonsUsable(FirmwareVersion::FromWord(0x0449), false));
        QVERIFY(!SwitchButtonsUsable(FirmwareVersion::FromWord(0x044B), true));
        QVERIFY(!SwitchButtonsUsable(FirmwareVersion::FromWord(0x044F), true));
    }

    // Every minor of major 4, 40 to 80: what "Read Settings" reads and what the
    // window offers afterwards. Reads: 7/8/10/14 settings objects, A the access
    // pair first, c the R/O string copied into the R/W field, - nothing. Flags:
    // S switch windows (with the box ticked), R RS-232, T traps, F the 0.25 s
    // pulse label, I "Save I/O states" enabled, X access filter enabled.
    void featureMatrixForEveryMinor()
    {
        const char* const expected[] = {
            "40 7 S", "41 - S", "42 - S", "43 - S", "44 - S", "45 - S", "46 - S", "47 - S", "48 - S", "49 - S",
            "50 7 S", "51 - S", "52 - S", "53 - S", "54 - S", "55 - S", "56 - S", "57 - S", "58 - S", "59 - S",
            "60 8c SI", "61 7 S", "62 8c SI", "63 - S", "64 - S", "65 8c SI", "66 10c SI", "67 - S", "68 - S",
            "69 - S", "70 14 STF", "71 14 STFI", "72 14 STFI", "73 14 SRTFI", "74 14 STF", "75 14 TF",
            "76 14 STFI", "77 14 STFI", "78 A14 STFIX", "79 A14 TFIX", "80 14 STF"};
        for (int minor = 40; minor <= 80; ++minor) {
            const FirmwareVersion version {4, uint8_t(minor)};
            const ReadPlan plan = PlanRead(version);
            QString reads;
            for (ReadBatch batch : plan.batches)
                reads += batch == ReadBatch::Access ? "A" : QString::number(BatchObjects(batch).size());
            if (reads.isEmpty())
                reads = "-";
            if (plan.copyRoToRw)
                reads += "c";
            const Layout layout = LayoutFor(version);
            const WindowButtons buttons = WindowButtonsFor(version, true, true);
            const auto enabled = [&](int id) {
                const ControlChange* change = Find(layout, id);
                return change && change->state == ControlState::Enable;
            };
            QString flags;
            flags += buttons.switchWindows ? "S" : "";
            flags += buttons.rs232 ? "R" : "";
            flags += buttons.traps ? "T" : "";
            flags += QString(layout.pulseWidthLabel) == "Restart Pulse Width (x0.25s)" ? "F" : "";
            flags += enabled(IDC_MODE_SAVE_IO) ? "I" : "";
            flags += enabled(IDC_ACCESS_IP) ? "X" : "";
            QCOMPARE(QString("%1 %2 %3").arg(minor).arg(reads, flags), QString(expected[minor - 40]));
        }
        // Without its mode bit the RS-232 window stays closed even on 4.073.
        QVERIFY(!WindowButtonsFor(FirmwareVersion {4, 73}, true, false).rs232);
        QVERIFY(!WindowButtonsFor(FirmwareVersion {4, 73}, false, true).switchWindows);
    }

    // Every control that a settings object, a setter or a mode bit fills has
    // a member of the right kind in the main window's binding table.
    void everyUsedControlIsBound()
    {
        const auto bound = [](int id, auto kind) {
            using Member = decltype(kind);
            for (const CMainDlg::FieldBinding& field : CMainDlg::FieldBindings())
                if (field.id == id)
                    return std::holds_alternative<Member>(field.member);
            return false;
        };
        using Text = QString CMainDlg::*;
        using Number = uint32_t CMainDlg::*;
        using Flag = bool CMainDlg::*;
        for (ReadBatch batch : {ReadBatch::Fourteen, ReadBatch::Access}) {
            for (const SettingsObject& object : BatchObjects(batch)) {
                switch (object.decode) {
                case SettingDecode::MacText: QVERIFY2(bound(object.control, Text {}), object.oid); break;
                case SettingDecode::Integer:
                case SettingDecode::CountPlusOne: QVERIFY2(bound(object.control, Number {}), object.oid); break;
                default: break;
                }
            }
        }
        for (const SetterSpec& setter : kSetters) {
            if (setter.kind == SetterField::Number)
                QVERIFY(bound(setter.field, Number {}));
            if (setter.kind == SetterField::MacLock)
                QVERIFY(bound(setter.field, Text {}));
        }
        for (const ModeBit& mode : kModeBits)
            QVERIFY(bound(mode.control, Flag {}));
    }

    void modeBitsRoundTrip()
    {
        // Boxes 1016 and 1024 alone make word 1 = 129.
        auto words = BuildModeWordsFrom([](int c) { return c == IDC_MODE_SNMP_ACCESS || c == IDC_MODE_P6_ANALOG; });
        QCOMPARE(words[0], 129u);
        QCOMPARE(words[1], 0u);
        words = BuildModeWordsFrom([](int c) { return c == IDC_MODE_EXTRA_FIRST; });
        QCOMPARE(words[1], 8u);
        // Every bit of both words maps to exactly one box and back.
        for (uint32_t w1 : {0x00u, 0xA5u, 0xFFu, 0x1FFu}) {
            for (uint32_t w2 : {0x00u, 0x5Au, 0xFFu}) {
                const auto rebuilt = BuildModeWordsFrom([&](int control) {
                    const auto it = std::find_if(kModeBits.begin(), kModeBits.end(),
                        [control](const ModeBit& m) { return m.control == control; });
                    return ModeBitSet(*it, w1, w2);
                });
                QCOMPARE(rebuilt[0], w1 & 0xFF);
                QCOMPARE(rebuilt[1], w2 & 0xFF);
            }
        }
    }

    // The tables below the windows name the check boxes as the windows'
    // templates do, and the layout's pulse width labels are the template's.
    void captionsAreTheTemplates()
    {
        for (const ModeBit& mode : kModeBits) {
            QCOMPARE(QString(mode.caption), QString(MainDlgCaption(mode.control)));
            for (const ControlSpec& spec : MainDlgTemplate().controls)
                if (spec.id == mode.control)
                    QVERIFY(!(spec.style & WS_DISABLED));
        }
        for (const GlobalBit& bit : kGlobalBits)
            QCOMPARE(QString(bit.caption), QString(SwitchDlgCaption(bit.control)));
        for (const PortBit& bit : kPortBits)
            QCOMPARE(QString(bit.caption), QString(SwitchDlgCaption(bit.control)));
        QCOMPARE(QString(LayoutFor({4, 50}).pulseWidthLabel), QString(kPulseWidthLabelSlow));
        QCOMPARE(QString(LayoutFor({4, 73}).pulseWidthLabel), QString(kPulseWidthLabelFast));
    }

    void macTexts()
    {
        QCOMPARE(MacTextFromPrinted("Hex-STRING: 00 11 22 33 44 55 \n"), QString("00 11 22 33 44 55"));
        QCOMPARE(MacTextFromPrinted("Hex-STRING: 00 11 22 33 44 55 66 77 88 \n"), QString("00 11 22 33 44 55"));
        // Printable bytes come back quoted, with '"' and '\\' escaped.
        QCOMPARE(MacTextFromPrinted("STRING: \"ABCDEF\""), QString("41 42 43 44 45 46"));
        QCOMPARE(MacTextFromPrinted("STRING: \"A\\\"B\\\\CD\""), QString("41 22 42 5C 43 44"));
        QCOMPARE(MacTextFromPrinted(""), QString());
        QByteArray hex;
        QVERIFY(MacLockToHex("00 11 22 33 44 55", hex));
        QCOMPARE(hex, QByteArray("00 11 22 33 44 55"));
        QVERIFY(MacLockToHex("aa-bb-cc-dd-ee-ff", hex));
        QCOMPARE(hex, QByteArray("AA BB CC DD EE FF"));
        QVERIFY(MacLockToHex(" 0a:1b:2c:3d:4e:5f ", hex));
        QVERIFY(MacLockToHex("001122334455", hex));
        QCOMPARE(hex, QByteArray("00 11 22 33 44 55"));
        for (const char* bad :
            {"", "00 11 22 33 44", "00 11 22 33 44 55 66", "00-11:22 33 44 55", "0G 11 22 33 44 55", "0011223344"})
            QVERIFY2(!MacLockToHex(bad, hex), bad);
    }
};

QTEST_MAIN(TestCoreTables)
#include "test_core_tables.moc"
