// Field exchange of the dialog layer: the number parsers with the framework's
// rules, pushing members of every kind into their controls and taking them
// back, the standard messages with their bounds, the stop at the first failing
// field, character limits and line breaks, and that no handler runs while
// fields are taken or pushed.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <cstdint>

#include "platform/DataExchange.h"
#include "platform/Dialog.h"
#include "platform/LimitedTextEdit.h"
#include "platform/NumberText.h"
#include "support/ScriptedUi.h"

namespace {

enum : int {
    IDC_COUNT = 1010,  // uint32, 1..4095
    IDC_OFFSET = 1011,  // int32, -50..50
    IDC_LEVEL = 1012,  // uint8, 10..200
    IDC_VOLTS = 1013,  // float, 0..3.3
    IDC_RATIO = 1014,  // double, -1.5..1.5
    IDC_NAME = 1015,  // text, at most 5 characters
    IDC_ENABLED = 1016,
    IDC_MODE_A = 1017,  // radio group of three
    IDC_MODE_B = 1018,
    IDC_MODE_C = 1019,
    IDC_SPEED = 1020,  // drop-down list, by index
    IDC_PARITY = 1021,  // combo with edit field, by string
    IDC_NOTE = 1022,  // multi-line, at most 10 characters
};

using K = ControlKind;

// Template order deliberately differs from the exchange order.
const DialogTemplate kKindsTemplate = {900, "Kinds", 240, 200,
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
        {IDOK, K::DefPushButton, "OK", 150, 160, 40, 14},
        {IDC_STATUS, K::StatusLine, "", 0, 185, 240, 12},
    }};

class CKindsDlg : public CDialog {
public:
    CKindsDlg() : CDialog(kKindsTemplate) { }

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
    using CDialog::m_status;

protected:
    void DoDataExchange(CDataExchange& dx) override
    {
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
        DDX_Text(dx, IDC_STATUS, m_status);
    }
};

QLineEdit* Edit(CDialog& dlg, int id) { return dlg.Item<QLineEdit>(id); }

void Type(CDialog& dlg, int id, const QString& text) { Edit(dlg, id)->setText(text); }

// Every field valid and different from the members' defaults.
void FillValid(CKindsDlg& dlg)
{
    Type(dlg, IDC_COUNT, "4095");
    Type(dlg, IDC_OFFSET, "-50");
    Type(dlg, IDC_LEVEL, "200");
    Type(dlg, IDC_VOLTS, "3.3");
    Type(dlg, IDC_RATIO, " -1.25 ");
    Type(dlg, IDC_NAME, "abcde");
}

void FillCombos(CKindsDlg& dlg)
{
    dlg.Item<QComboBox>(IDC_SPEED)->addItems({"1200", "2400", "9600"});
    dlg.Item<QComboBox>(IDC_PARITY)->addItems({"None", "Odd", "Even"});
}

}  // namespace

class TestFieldExchange : public QObject {
    Q_OBJECT

private slots:
    void parsers_data();
    void parsers();
    void pushAndTakeEveryKind();
    void standardMessages_data();
    void standardMessages();
    void firstFailureStopsTaking();
    void outOfRangeIsKeptAsTyped();
    void exchangeDispatchesNothing();
    void limitsAndLineBreaks();
};

void TestFieldExchange::parsers_data()
{
    QTest::addColumn<char>("type");  // 'u' unsigned, 's' signed, 'r' real
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("blanks and tabs around") << 'u' << " \t42 \t" << true << 42.0;
    QTest::newRow("plus sign") << 'u' << "+7" << true << 7.0;
    QTest::newRow("largest unsigned") << 'u' << "4294967295" << true << 4294967295.0;
    QTest::newRow("unsigned too large") << 'u' << "4294967296" << false << 0.0;
    QTest::newRow("unsigned minus") << 'u' << "-1" << false << 0.0;
    QTest::newRow("zero needs a leading 0") << 'u' << "+0" << false << 0.0;
    QTest::newRow("empty") << 'u' << "" << false << 0.0;
    QTest::newRow("trailing letters") << 'u' << "12a" << false << 0.0;
    QTest::newRow("two numbers") << 'u' << "1 2" << false << 0.0;
    QTest::newRow("hex prefix") << 'u' << "0x10" << false << 0.0;
    QTest::newRow("smallest signed") << 's' << "-2147483648" << true << -2147483648.0;
    QTest::newRow("signed too large") << 's' << "2147483648" << false << 0.0;
    QTest::newRow("minus zero") << 's' << "-0" << false << 0.0;
    QTest::newRow("integer with point") << 's' << "3." << false << 0.0;
    QTest::newRow("no integer part") << 'r' << ".5" << true << 0.5;
    QTest::newRow("exponent") << 'r' << "-1.5e2 " << true << -150.0;
    QTest::newRow("real zero without 0") << 'r' << ".0" << false << 0.0;
    QTest::newRow("comma") << 'r' << "1,5" << false << 0.0;
    QTest::newRow("exponent without digits") << 'r' << "1e" << false << 0.0;
    QTest::newRow("overflow") << 'r' << "1e400" << false << 0.0;
    QTest::newRow("infinity word") << 'r' << "inf" << false << 0.0;
}

void TestFieldExchange::parsers()
{
    QFETCH(char, type);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    std::optional<double> parsed;
    if (type == 'u')
        parsed = NumberText::ParseUnsigned(text);
    if (type == 's')
        parsed = NumberText::ParseSigned(text);
    if (type == 'r')
        parsed = NumberText::ParseReal(text);
    QCOMPARE(parsed.has_value(), ok);
    if (ok)
        QCOMPARE(*parsed, value);
}

void TestFieldExchange::pushAndTakeEveryKind()
{
    ScriptedUi ui;
    CKindsDlg dlg;
    FillCombos(dlg);
    dlg.m_count = 4000;
    dlg.m_offset = -17;
    dlg.m_level = 200;
    dlg.m_volts = float(1023 * 0.0032258064516129032);  // shown with six digits
    dlg.m_ratio = 0.1;
    dlg.m_name = "abc";
    dlg.m_enabled = true;
    dlg.m_mode = 2;
    dlg.m_speed = 1;
    dlg.m_parity = "ev";  // selects the first item that begins with it
    dlg.m_status = "Ready";
    QVERIFY(dlg.UpdateData(false));
    const QStringList shown = {Edit(dlg, IDC_COUNT)->text(), Edit(dlg, IDC_OFFSET)->text(),
        Edit(dlg, IDC_LEVEL)->text(), Edit(dlg, IDC_VOLTS)->text(), Edit(dlg, IDC_RATIO)->text(),
        Edit(dlg, IDC_NAME)->text(), dlg.Item<QComboBox>(IDC_SPEED)->currentText(),
        dlg.Item<QComboBox>(IDC_PARITY)->currentText(), dlg.Item<QLabel>(IDC_STATUS)->text()};
    QCOMPARE(shown, QStringList({"4000", "-17", "200", "3.3", "0.1", "abc", "2400", "Even", "Ready"}));
    QVERIFY(dlg.Item<QCheckBox>(IDC_ENABLED)->isChecked());
    QVERIFY(dlg.Item<QRadioButton>(IDC_MODE_C)->isChecked());

    FillValid(dlg);
    dlg.Item<QCheckBox>(IDC_ENABLED)->setChecked(false);
    dlg.Item<QRadioButton>(IDC_MODE_B)->setChecked(true);
    dlg.Item<QComboBox>(IDC_SPEED)->setCurrentIndex(2);
    dlg.Item<QComboBox>(IDC_PARITY)->setEditText("Mark");
    QVERIFY(dlg.UpdateData(true));
    QVERIFY(ui.Boxes().empty());
    QCOMPARE(dlg.m_count, 4095u);
    QCOMPARE(dlg.m_offset, -50);
    QCOMPARE(dlg.m_level, uint8_t(200));
    QCOMPARE(dlg.m_volts, 3.3f);
    QCOMPARE(dlg.m_ratio, -1.25);
    QCOMPARE(dlg.m_name, QString("abcde"));
    QVERIFY(!dlg.m_enabled);
    QCOMPARE(dlg.m_mode, 1);
    QCOMPARE(dlg.m_speed, 2);
    QCOMPARE(dlg.m_parity, QString("Mark"));

    // -1 clears the radio group and the combo's selection, and is taken back.
    dlg.m_mode = -1;
    dlg.m_speed = -1;
    dlg.UpdateData(false);
    dlg.m_mode = 0;
    QVERIFY(dlg.UpdateData(true));
    QCOMPARE(dlg.m_mode, -1);
    QCOMPARE(dlg.m_speed, -1);
}

void TestFieldExchange::standardMessages_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("unsigned, minus") << int(IDC_COUNT) << "-5"
                                     << "Please enter a positive integer.";
    QTest::newRow("unsigned, empty") << int(IDC_COUNT) << ""
                                     << "Please enter a positive integer.";
    QTest::newRow("unsigned range") << int(IDC_COUNT) << "0"
                                    << "Please enter an integer between 1 and 4095.";
    QTest::newRow("signed, letters") << int(IDC_OFFSET) << "x1"
                                     << "Please enter an integer.";
    QTest::newRow("signed range") << int(IDC_OFFSET) << "-51"
                                  << "Please enter an integer between -50 and 50.";
    QTest::newRow("byte over 255") << int(IDC_LEVEL) << "256"
                                   << "Please enter an integer between 0 and 255.";
    QTest::newRow("byte range") << int(IDC_LEVEL) << "9"
                                << "Please enter an integer between 10 and 200.";
    QTest::newRow("float, letters") << int(IDC_VOLTS) << "3V"
                                    << "Please enter a number.";
    QTest::newRow("float range") << int(IDC_VOLTS) << "3.31"
                                 << "Please enter a number between 0 and 3.3.";
    QTest::newRow("double range") << int(IDC_RATIO) << "-1.6"
                                  << "Please enter a number between -1.5 and 1.5.";
    QTest::newRow("characters") << int(IDC_NAME) << "abcdef"
                                << "Please enter no more than 5 characters.";
}

// One field wrong, all others valid: exactly one box, the framework's message
// with its bounds, as a warning under the application's title.
void TestFieldExchange::standardMessages()
{
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QString, message);
    ScriptedUi ui;
    CKindsDlg dlg;
    FillValid(dlg);
    Type(dlg, id, text);
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList {message});
    QCOMPARE(ui.Boxes().front().caption, QString("Kalvor"));
    QCOMPARE(ui.Boxes().front().flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
}

// Fields before the failing one are taken, the failing text that is no number
// leaves its member, later fields (also wrong ones) are not looked at. The
// exchange order, not the template order, decides which field that is.
void TestFieldExchange::firstFailureStopsTaking()
{
    ScriptedUi ui;
    CKindsDlg dlg;
    FillCombos(dlg);
    dlg.m_level = 50;
    dlg.m_name = "old";
    dlg.m_speed = 0;
    dlg.UpdateData(false);

    FillValid(dlg);
    Type(dlg, IDC_LEVEL, "lots");
    Type(dlg, IDC_VOLTS, "bad");
    dlg.Item<QCheckBox>(IDC_ENABLED)->setChecked(true);
    dlg.Item<QComboBox>(IDC_SPEED)->setCurrentIndex(2);
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList {"Please enter an integer between 0 and 255."});
    QCOMPARE(dlg.m_count, 4095u);
    QCOMPARE(dlg.m_offset, -50);
    QCOMPARE(dlg.m_level, uint8_t(50));
    QCOMPARE(dlg.m_volts, 0.0f);
    QCOMPARE(dlg.m_name, QString("old"));
    QVERIFY(!dlg.m_enabled);
    QCOMPARE(dlg.m_speed, 0);

    // The name field comes first in the template but last of these three.
    ui.ClearBoxes();
    Type(dlg, IDC_NAME, "far too long");
    Type(dlg, IDC_OFFSET, "none");
    Type(dlg, IDC_COUNT, "-3");
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList {"Please enter a positive integer."});
}

void TestFieldExchange::outOfRangeIsKeptAsTyped()
{
    ScriptedUi ui;
    CKindsDlg dlg;
    Type(dlg, IDC_COUNT, "5000");
    Type(dlg, IDC_OFFSET, "-9");
    Type(dlg, IDC_NAME, "toolong");  // limit not pushed yet, so the edit holds it
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(dlg.m_count, 5000u);
    QCOMPARE(dlg.m_offset, 0);

    FillValid(dlg);
    Type(dlg, IDC_NAME, "toolong");
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(dlg.m_name, QString("toolong"));
    QCOMPARE(ui.Boxes().size(), size_t(2));
}

// Handlers of every kind are registered; neither pushing nor taking runs any
// of them, also when the failing field takes the focus from a watched edit.
void TestFieldExchange::exchangeDispatchesNothing()
{
    ScriptedUi ui;
    CKindsDlg dlg;
    FillCombos(dlg);
    int calls = 0;
    for (int id = IDC_COUNT; id <= IDC_NOTE; ++id) {
        for (Notify what : {Notify::Clicked, Notify::KillFocus, Notify::Change, Notify::SelChange})
            dlg.OnNotify(id, what, [&calls] { ++calls; });
    }
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    Edit(dlg, IDC_NAME)->setFocus();

    dlg.m_mode = 2;
    dlg.m_speed = 1;
    dlg.m_note = "pushed";
    dlg.m_enabled = true;
    QVERIFY(dlg.UpdateData(false));
    Type(dlg, IDC_COUNT, "0");
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(QApplication::focusWidget(), Edit(dlg, IDC_COUNT));
    QCOMPARE(Edit(dlg, IDC_COUNT)->selectedText(), QString("0"));
    QCOMPARE(calls, 0);

    Edit(dlg, IDC_NAME)->setFocus();  // outside an exchange it is dispatched
    QCOMPARE(calls, 1);
}

// Pushing applies the character limits and checks nothing; a multi-line edit
// exchanges CR LF line breaks, and each counts two characters.
void TestFieldExchange::limitsAndLineBreaks()
{
    ScriptedUi ui;
    CKindsDlg dlg;
    auto* note = dlg.Item<CLimitedTextEdit>(IDC_NOTE);
    QCOMPARE(Edit(dlg, IDC_NAME)->maxLength(), 32767);
    dlg.m_count = 99999;
    dlg.m_note = "one\r\ntwo";
    QVERIFY(dlg.UpdateData(false));
    QVERIFY(ui.Boxes().empty());
    QCOMPARE(Edit(dlg, IDC_NAME)->maxLength(), 5);
    QCOMPARE(note->Limit(), 10);
    QCOMPARE(Edit(dlg, IDC_COUNT)->text(), QString("99999"));
    QCOMPARE(note->toPlainText(), QString("one\ntwo"));

    FillValid(dlg);
    note->SetText("abcd\nefgh");
    QVERIFY(dlg.UpdateData(true));
    QCOMPARE(dlg.m_note, QString("abcd\r\nefgh"));
    note->SetText("abcd\nefghi");
    QVERIFY(!dlg.UpdateData(true));
    QCOMPARE(ui.BoxTexts(), QStringList {"Please enter no more than 10 characters."});
}

QTEST_MAIN(TestFieldExchange)
#include "test_field_exchange.moc"
