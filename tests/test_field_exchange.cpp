// Field exchange of the dialog layer: the number parsers with the framework's
// rules, pushing members of every kind into their controls, taking them back,
// the stop at the first failing field (earlier fields taken, a number out of
// range kept as typed, unparsable text leaving its member, later fields
// untouched), the standard messages with their bounds, character limits, and
// that no handler runs while fields are taken or pushed.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <cstdint>

#include "support/ScriptedUi.h"
#include "platform/DataExchange.h"
#include "platform/Dialog.h"
#include "platform/LimitedTextEdit.h"
#include "platform/NumberText.h"

namespace {

enum : int {
    IDC_COUNT = 1010,   // uint32, 1..4095
    IDC_OFFSET = 1011,  // int32, -50..50
    IDC_LEVEL = 1012,   // uint8, 10..200
    IDC_VOLTS = 1013,   // float, 0..3.3
    IDC_RATIO = 1014,   // double, -1.5..1.5
    IDC_NAME = 1015,    // text, at most 5 characters
    IDC_ENABLED = 1016,
    IDC_MODE_A = 1017,  // radio group of three
    IDC_MODE_B = 1018,
    IDC_MODE_C = 1019,
    IDC_SPEED = 1020,   // drop-down list, by index
    IDC_PARITY = 1021,  // combo with edit field, by string
    IDC_NOTE = 1022,    // multi-line, at most 10 characters
    IDC_TRISTATE = 1023,
};

using K = ControlKind;

// Template order deliberately differs from the exchange order.
const DialogTemplate kKindsTemplate = {
    900, "Kinds", 240, 200,
    {
        {IDC_NAME, K::Edit, "", 10, 10, 60, 12, WS_NONE, 0},
        {IDC_OFFSET, K::Edit, "", 10, 25, 60, 12},
        {IDC_COUNT, K::Edit, "", 10, 40, 60, 12},
        {IDC_LEVEL, K::Edit, "", 10, 55, 60, 12},
        {IDC_VOLTS, K::Edit, "", 10, 70, 60, 12},
        {IDC_RATIO, K::Edit, "", 10, 85, 60, 12},
        {IDC_ENABLED, K::CheckBox, "Enabled", 80, 10, 60, 10},
        {IDC_MODE_A, K::RadioButton, "A", 80, 25, 30, 10, WS_GROUP},
        {IDC_MODE_B, K::RadioButton, "B", 80, 37, 30, 10},
        {IDC_MODE_C, K::RadioButton, "C", 80, 49, 30, 10},
        {IDC_SPEED, K::ComboDropList, "", 80, 64, 60, 60},
        {IDC_PARITY, K::ComboDropDown, "", 80, 80, 60, 60},
        {IDC_NOTE, K::Edit, "", 150, 10, 80, 40, ES_MULTILINE | ES_WANTRETURN},
        {IDC_TRISTATE, K::CheckBox, "Tri", 150, 55, 60, 10},
        {IDOK, K::DefPushButton, "OK", 150, 160, 40, 14},
        {IDC_STATUS, K::StatusLine, "", 0, 185, 240, 12},
    }};

class CKindsDlg : public CDialog {
public:
    CKindsDlg() : CDialog(kKindsTemplate) {}

    uint32_t m_count = 1;
    int32_t m_offset = 0;
    uint8_t m_level = 10;
    float m_volts = 0.0f;
    double m_ratio = 0.0;
    QString m_name;
    bool m_enabled = false;
    int m_mode = -1;
    int m_speed = -1;
    QString m_parity;
    QString m_note;
    int m_tristate = 0;
    using CDialog::m_status;

protected:
    void DoDataExchange(CDataExchange& dx) override {
        DDX_Text(dx, IDC_COUNT, m_count);
        DDV_MinMaxUInt(dx, m_count, 1, 4095);
        DDX_Text(dx, IDC_OFFSET, m_offset);
        DDV_MinMaxInt(dx, m_offset, -50, 50);
        DDX_Text(dx, IDC_LEVEL, m_level);
        DDV_MinMaxByte(dx, m_level, 10, 200);
        DDX_Text(dx, IDC_VOLTS, m_volts);
        DDV_MinMaxFloat(dx, m_volts, 0.0f, 3.3f);
        DDX_Text(dx, IDC_RATIO, m_ratio);
        DDV_MinMaxDouble(dx, m_ratio, -1.5, 1.5);
        DDX_Text(dx, IDC_NAME, m_name);
        DDV_MaxChars(dx, m_name, 5);
        DDX_Check(dx, IDC_ENABLED, m_enabled);
        DDX_Radio(dx, IDC_MODE_A, m_mode);
        DDX_CBIndex(dx, IDC_SPEED, m_speed);
        DDX_CBString(dx, IDC_PARITY, m_parity);
        DDX_Text(dx, IDC_NOTE, m_note);
        DDV_MaxChars(dx, m_note, 10);
        DDX_Check(dx, IDC_TRISTATE, m_tristate);
        DDX_Text(dx, IDC_STATUS, m_status);
    }
};

QLineEdit* Edit(CDialog& dlg, int id) { return dlg.Item<QLineEdit>(id); }

void Type(CDialog& dlg, int id, const QString& text) { Edit(dlg, id)->setText(text); }

// Every field valid and different from the members' defaults.
void FillValid(CKindsDlg& dlg) {
    Type(dlg, IDC_COUNT, "4095");
    Type(dlg, IDC_OFFSET, "-50");
    Type(dlg, IDC_LEVEL, "200");
    Type(dlg, IDC_VOLTS, "3.3");
    Type(dlg, IDC_RATIO, " -1.25 ");
    Type(dlg, IDC_NAME, "abcde");
}

void FillCombos(CKindsDlg& dlg) {
    dlg.Item<QComboBox>(IDC_SPEED)->addItems({"1200", "2400", "9600"});
    dlg.Item<QComboBox>(IDC_PARITY)->addItems({"None", "Odd", "Even"});
}

}  // namespace

class TestFieldExchange : public QObject {
    Q_OBJECT

private slots:
    void unsignedParsing_data();
    void unsignedParsing();
    void signedParsing_data();
    void signedParsing();
    void realParsing_data();
    void realParsing();
    void realFormatting();

    void pushShowsEveryKind();
    void takeReadsEveryKind();
    void typeMessages_data();
    void typeMessages();
    void rangeMessagesCarryBounds_data();
    void rangeMessagesCarryBounds();
    void firstFailureStopsTaking();
    void outOfRangeIsKeptAsTyped();
    void exchangeOrderDecidesWhichFieldFails();
    void failureFocusesTheField();
    void pushAppliesCharacterLimits();
    void multiLineTextUsesCrLf();
    void radioAndComboEdges();
    void exchangeDispatchesNothing();
};

// ---- parsers ---------------------------------------------------------------

void TestFieldExchange::unsignedParsing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<uint>("value");
    QTest::newRow("plain") << "42" << true << 42u;
    QTest::newRow("blanks and tabs around") << " \t42 \t" << true << 42u;
    QTest::newRow("plus sign") << "+7" << true << 7u;
    QTest::newRow("zero") << "0" << true << 0u;
    QTest::newRow("largest") << "4294967295" << true << 4294967295u;
    QTest::newRow("one too large") << "4294967296" << false << 0u;
    QTest::newRow("minus") << "-1" << false << 0u;
    QTest::newRow("minus zero") << "-0" << false << 0u;
    QTest::newRow("plus zero needs a leading 0") << "+0" << false << 0u;
    QTest::newRow("empty") << "" << false << 0u;
    QTest::newRow("blanks only") << "   " << false << 0u;
    QTest::newRow("trailing letters") << "12a" << false << 0u;
    QTest::newRow("two numbers") << "1 2" << false << 0u;
    QTest::newRow("hex prefix") << "0x10" << false << 0u;
    QTest::newRow("decimal point") << "5.0" << false << 0u;
}

void TestFieldExchange::unsignedParsing() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(uint, value);
    const std::optional<uint32_t> parsed = NumberText::ParseUnsigned(text);
    QCOMPARE(parsed.has_value(), ok);
    if (ok) QCOMPARE(*parsed, value);
}

void TestFieldExchange::signedParsing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("negative") << "-17" << true << -17;
    QTest::newRow("smallest") << "-2147483648" << true << int(INT32_MIN);
    QTest::newRow("largest") << "2147483647" << true << INT32_MAX;
    QTest::newRow("one too large") << "2147483648" << false << 0;
    QTest::newRow("one too small") << "-2147483649" << false << 0;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("minus zero") << "-0" << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("trailing dot") << "3." << false << 0;
}

void TestFieldExchange::signedParsing() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const std::optional<int32_t> parsed = NumberText::ParseSigned(text);
    QCOMPARE(parsed.has_value(), ok);
    if (ok) QCOMPARE(*parsed, value);
}

void TestFieldExchange::realParsing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal") << "3.25" << true << 3.25;
    QTest::newRow("no integer part") << ".5" << true << 0.5;
    QTest::newRow("no fraction digits") << "5." << true << 5.0;
    QTest::newRow("exponent") << "-1.5e2" << true << -150.0;
    QTest::newRow("blanks around") << "\t 2 " << true << 2.0;
    QTest::newRow("zero") << "0.0" << true << 0.0;
    QTest::newRow("zero without leading 0") << ".0" << false << 0.0;
    QTest::newRow("comma") << "1,5" << false << 0.0;
    QTest::newRow("exponent without digits") << "1e" << false << 0.0;
    QTest::newRow("overflow") << "1e400" << false << 0.0;
    QTest::newRow("infinity word") << "inf" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
}

void TestFieldExchange::realParsing() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const std::optional<double> parsed = NumberText::ParseReal(text);
    QCOMPARE(parsed.has_value(), ok);
    if (ok) QCOMPARE(*parsed, value);
}

void TestFieldExchange::realFormatting() {
    using namespace NumberText;
    QCOMPARE(FormatReal(double(3.3f), kFloatDigits), QString("3.3"));
    QCOMPARE(FormatReal(double(float(1023 * 0.0032258064516129032)), kFloatDigits), QString("3.3"));
    QCOMPARE(FormatReal(1.0 / 3.0, kFloatDigits), QString("0.333333"));
    QCOMPARE(FormatReal(1.0 / 3.0, kDoubleDigits), QString("0.333333333333333"));
    QCOMPARE(FormatReal(0.0, kFloatDigits), QString("0"));
}

// ---- push and take ---------------------------------------------------------

void TestFieldExchange::pushShowsEveryKind() {
    ScriptedUi ui;
    CKindsDlg dlg;
    FillCombos(dlg);
    dlg.m_count = 4000;
    dlg.m_offset = -17;
    dlg.m_level = 200;
    dlg.m_volts = 3.3f;
    dlg.m_ratio = 0.1;
    dlg.m_name = "abc";
    dlg.m_enabled = true;
    dlg.m_mode = 2;
    dlg.m_speed = 1;
    dlg.m_parity = "ev";  // selects the first item that begins with it
    dlg.m_note = "one\r\ntwo";
    dlg.m_tristate = 2;
    dlg.m_status = "Ready";
    QVERIFY(dlg.UpdateData(false));

    QCOMPARE(Edit(dlg, IDC_COUNT)->text(), QString("4000"));
    QCOMPARE(Edit(dlg, IDC_OFFSET)->text(), QString("-17"));
    QCOMPARE(Edit(dlg, IDC_LEVEL)->text(), QString("200"));
    QCOMPARE(Edit(dlg, IDC_VOLTS)->text(), QString("3.3"));
    QCOMPARE(Edit(dlg, IDC_RATIO)->text(), QString("0.1"));
    QCOMPARE(Edit(dlg, IDC_NAME)->text(), QString("abc"));
    QVERIFY(dlg.Item<QCheckBox>(IDC_ENABLED)->isChecked());
    QVERIFY(!dlg.Item<QRadioButton>(IDC_MODE_A)->isChecked());
    QVERIFY(dlg.Item<QRadioButton>(IDC_MODE_C)->isChecked());
    QCOMPARE(dlg.Item<QComboBox>(IDC_SPEED)->currentText(), QString("2400"));
    QCOMPARE(dlg.Item<QComboBox>(IDC_PARITY)->currentText(), QString("Even"));
    QCOMPARE(dlg.Item<QPlainTextEdit>(IDC_NOTE)->toPlainText(), QString("one\ntwo"));
    QCOMPARE(dlg.Item<QCheckBox>(IDC_TRISTATE)->checkState(), Qt::PartiallyChecked);
    QCOMPARE(dlg.Item<QLabel>(IDC_STATUS)->text(), QString("Ready"));
    QVERIFY(ui.Boxes().empty());
}

void TestFieldExchange::takeReadsEveryKind() {
    ScriptedUi ui;
    CKindsDlg dlg;
    FillCombos(dlg);
    FillValid(dlg);
    dlg.Item<QCheckBox>(IDC_ENABLED)->setChecked(true);
    dlg.Item<QRadioButton>(IDC_MODE_B)->setChecked(true);
    dlg.Item<QComboBox>(IDC_SPEED)->setCurrentIndex(2);
    dlg.Item<QComboBox>(IDC_PARITY)->setEditText("Mark");
    dlg.Item<CLimitedTextEdit>(IDC_NOTE)->SetText("x\ny");
    dlg.Item<QCheckBox>(IDC_TRISTATE)->setChecked(true);
    dlg.Item<QLabel>(IDC_STATUS)->setText("shown");

    QVERIFY(dlg.UpdateData(true));
    QVERIFY(ui.Boxes().empty());
    QCOMPARE(dlg.m_count, 4095u);
    QCOMPARE(dlg.m_offset, -50);
    QCOMPARE(dlg.m_level, uint8_t(200));
    QCOMPARE(dlg.m_volts, 3.3f);
    QCOMPARE(dlg.m_ratio, -1.25);
    QCOMPARE(dlg.m_name, QString("abcde"));
    QVERIFY(dlg.m_enabled);
    QCOMPARE(dlg.m_mode, 1);
    QCOMPARE(dlg.m_speed, 2);
    QCOMPARE(dlg.m_parity, QString("Mark"));
    QCOMPARE(dlg.m_note, QString("x\r\ny"));
    QCOMPARE(dlg.m_tristate, 1);
    QCOMPARE(dlg.m_status, QString("shown"));
}

// ---- messages --------------------------------------------------------------

void TestFieldExchange::typeMessages_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("unsigned, minus") << int(IDC_COUNT) << "-5" << "Please enter a positive integer.";
    QTest::newRow("unsigned, letters") << int(IDC_COUNT) << "many" << "Please enter a positive integer.";
    QTest::newRow("unsigned, empty") << int(IDC_COUNT) << "" << "Please enter a positive integer.";
    QTest::newRow("signed, letters") << int(IDC_OFFSET) << "x1" << "Please enter an integer.";
    QTest::newRow("byte, over 255") << int(IDC_LEVEL) << "256" << "Please enter an integer between 0 and 255.";
    QTest::newRow("byte, minus") << int(IDC_LEVEL) << "-1" << "Please enter an integer between 0 and 255.";
    QTest::newRow("float, letters") << int(IDC_VOLTS) << "3V" << "Please enter a number.";
    QTest::newRow("double, empty") << int(IDC_RATIO) << "" << "Please enter a number.";
}

// A field that is no number of its type shows the type's message once,
// leaves its member as it was, and the taking reports failure.
void TestFieldExchange::typeMessages() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QString, message);
    ScriptedUi ui;
    CKindsDlg dlg;
    dlg.m_count = 7;
    dlg.m_offset = 8;
    dlg.m_level = 19;
    dlg.m_volts = 1.5f;
    dlg.m_ratio = 0.5;
    dlg.UpdateData(false);
    Type(dlg, id, text);

    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList{message});
    QCOMPARE(ui.Boxes().front().caption, QString("Kalvor"));
    QCOMPARE(ui.Boxes().front().flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
    QCOMPARE(dlg.m_count, 7u);
    QCOMPARE(dlg.m_offset, 8);
    QCOMPARE(dlg.m_level, uint8_t(19));
    QCOMPARE(dlg.m_volts, 1.5f);
    QCOMPARE(dlg.m_ratio, 0.5);
}

void TestFieldExchange::rangeMessagesCarryBounds_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("unsigned") << int(IDC_COUNT) << "0" << "Please enter an integer between 1 and 4095.";
    QTest::newRow("signed") << int(IDC_OFFSET) << "-51" << "Please enter an integer between -50 and 50.";
    QTest::newRow("byte") << int(IDC_LEVEL) << "9" << "Please enter an integer between 10 and 200.";
    QTest::newRow("float") << int(IDC_VOLTS) << "3.31" << "Please enter a number between 0 and 3.3.";
    QTest::newRow("double") << int(IDC_RATIO) << "-1.6" << "Please enter a number between -1.5 and 1.5.";
    QTest::newRow("characters") << int(IDC_NAME) << "abcdef" << "Please enter no more than 5 characters.";
}

void TestFieldExchange::rangeMessagesCarryBounds() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QString, message);
    ScriptedUi ui;
    CKindsDlg dlg;
    FillValid(dlg);
    Type(dlg, id, text);
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList{message});
}

// ---- stop at the first failure ---------------------------------------------

void TestFieldExchange::firstFailureStopsTaking() {
    ScriptedUi ui;
    CKindsDlg dlg;
    FillCombos(dlg);
    dlg.m_level = 50;
    dlg.m_name = "old";
    dlg.m_enabled = false;
    dlg.m_speed = 0;
    dlg.UpdateData(false);

    FillValid(dlg);
    Type(dlg, IDC_LEVEL, "lots");  // third in exchange order
    Type(dlg, IDC_VOLTS, "bad");   // would fail too, but is never reached
    dlg.Item<QCheckBox>(IDC_ENABLED)->setChecked(true);
    dlg.Item<QComboBox>(IDC_SPEED)->setCurrentIndex(2);

    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList{"Please enter an integer between 0 and 255."});
    QCOMPARE(dlg.m_count, 4095u);  // before the failure: taken
    QCOMPARE(dlg.m_offset, -50);
    QCOMPARE(dlg.m_level, uint8_t(50));  // the failing field keeps its member
    QCOMPARE(dlg.m_volts, 0.0f);         // after it: untouched
    QCOMPARE(dlg.m_name, QString("old"));
    QVERIFY(!dlg.m_enabled);
    QCOMPARE(dlg.m_speed, 0);
}

void TestFieldExchange::outOfRangeIsKeptAsTyped() {
    ScriptedUi ui;
    CKindsDlg dlg;
    dlg.m_offset = 3;
    dlg.UpdateData(false);
    Type(dlg, IDC_COUNT, "5000");
    Type(dlg, IDC_OFFSET, "-9");

    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList{"Please enter an integer between 1 and 4095."});
    QCOMPARE(dlg.m_count, 5000u);
    QCOMPARE(dlg.m_offset, 3);

    // The same for a character limit (text set before the limit was pushed):
    // the long text is the member now.
    ui.ClearBoxes();
    CKindsDlg fresh;
    FillValid(fresh);
    Type(fresh, IDC_NAME, "toolong");
    QVERIFY(!fresh.UpdateData(true));
    QCOMPARE(fresh.m_name, QString("toolong"));
    QCOMPARE(ui.Boxes().size(), size_t(1));
}

// Both fields are wrong; the one exchanged first (not the first in the
// template) is reported.
void TestFieldExchange::exchangeOrderDecidesWhichFieldFails() {
    ScriptedUi ui;
    CKindsDlg dlg;
    Type(dlg, IDC_NAME, "far too long");
    Type(dlg, IDC_OFFSET, "none");
    Type(dlg, IDC_COUNT, "-3");
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList{"Please enter a positive integer."});

    ui.ClearBoxes();
    Type(dlg, IDC_COUNT, "12");
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList{"Please enter an integer."});
    QCOMPARE(dlg.m_count, 12u);
}

void TestFieldExchange::failureFocusesTheField() {
    ScriptedUi ui;
    CKindsDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    FillValid(dlg);
    Type(dlg, IDC_VOLTS, "9");
    Edit(dlg, IDC_NAME)->setFocus();
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(QApplication::focusWidget(), Edit(dlg, IDC_VOLTS));
    QCOMPARE(Edit(dlg, IDC_VOLTS)->selectedText(), QString("9"));
}

void TestFieldExchange::pushAppliesCharacterLimits() {
    ScriptedUi ui;
    CKindsDlg dlg;
    QCOMPARE(Edit(dlg, IDC_NAME)->maxLength(), 32767);
    QCOMPARE(dlg.Item<CLimitedTextEdit>(IDC_NOTE)->Limit(), 0);
    dlg.UpdateData(false);
    QCOMPARE(Edit(dlg, IDC_NAME)->maxLength(), 5);
    QCOMPARE(dlg.Item<CLimitedTextEdit>(IDC_NOTE)->Limit(), 10);

    // Pushing checks nothing: a member beyond its range is shown as it is.
    dlg.m_count = 99999;
    dlg.m_note = "more than ten characters";
    QVERIFY(dlg.UpdateData(false));
    QVERIFY(ui.Boxes().empty());
    QCOMPARE(Edit(dlg, IDC_COUNT)->text(), QString("99999"));
    QCOMPARE(dlg.Item<QPlainTextEdit>(IDC_NOTE)->toPlainText(), QString("more than ten characters"));
}

// A line break counts two characters, as CR LF, both in the member and
// against the limit.
void TestFieldExchange::multiLineTextUsesCrLf() {
    ScriptedUi ui;
    CKindsDlg dlg;
    FillValid(dlg);
    auto* note = dlg.Item<CLimitedTextEdit>(IDC_NOTE);
    note->SetText("abcd\nefgh");  // 8 characters and one line break = 10
    QVERIFY(dlg.UpdateData(true));
    QCOMPARE(dlg.m_note, QString("abcd\r\nefgh"));

    note->SetText("abcd\nefghi");
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList{"Please enter no more than 10 characters."});
}

void TestFieldExchange::radioAndComboEdges() {
    ScriptedUi ui;
    CKindsDlg dlg;
    FillCombos(dlg);
    FillValid(dlg);
    dlg.m_mode = 1;
    dlg.m_speed = 2;
    dlg.UpdateData(false);

    // -1 clears the whole group and the combo's selection.
    dlg.m_mode = -1;
    dlg.m_speed = -1;
    dlg.UpdateData(false);
    for (int id : {IDC_MODE_A, IDC_MODE_B, IDC_MODE_C}) QVERIFY(!dlg.Item<QRadioButton>(id)->isChecked());
    QCOMPARE(dlg.Item<QComboBox>(IDC_SPEED)->currentIndex(), -1);
    FillValid(dlg);
    dlg.m_mode = 2;
    QVERIFY(dlg.UpdateData(true));
    QCOMPARE(dlg.m_mode, -1);
    QCOMPARE(dlg.m_speed, -1);

    // A string that begins no item lands in the edit field.
    dlg.m_parity = "Space";
    dlg.UpdateData(false);
    QCOMPARE(dlg.Item<QComboBox>(IDC_PARITY)->currentText(), QString("Space"));
}

// Handlers of every kind are registered; neither pushing nor taking (with a
// failure that moves the focus away from a watched edit) runs any of them.
void TestFieldExchange::exchangeDispatchesNothing() {
    ScriptedUi ui;
    CKindsDlg dlg;
    FillCombos(dlg);
    int calls = 0;
    const Notify kinds[] = {Notify::Clicked, Notify::KillFocus, Notify::Change, Notify::SelChange};
    for (int id = IDC_COUNT; id <= IDC_TRISTATE; ++id) {
        for (Notify what : kinds) dlg.OnNotify(id, what, [&calls] { ++calls; });
    }
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    Edit(dlg, IDC_NAME)->setFocus();

    dlg.m_mode = 2;
    dlg.m_speed = 1;
    dlg.m_parity = "Odd";
    dlg.m_note = "pushed";
    dlg.m_enabled = true;
    QVERIFY(dlg.UpdateData(false));
    Type(dlg, IDC_COUNT, "0");
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(QApplication::focusWidget(), Edit(dlg, IDC_COUNT));
    QCOMPARE(calls, 0);

    // The handlers are live: leaving the field now is dispatched.
    Edit(dlg, IDC_NAME)->setFocus();
    QCOMPARE(calls, 1);
}

QTEST_MAIN(TestFieldExchange)
#include "test_field_exchange.moc"
