// The serial port window against a simulated module: the line settings read
// at opening and written back, the message sent whole and as typed, the
// receive buffer in both printed forms with every byte kept (0 and 0x80-0xFF
// among them), the hexadecimal view and its way back, Self Clear, Auto Get,
// the flush command, and the fields that stop an action.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QCheckBox>
#include <QStyleOptionButton>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "res/SerialDlgIds.h"
#include "serial/SerialDlg.h"
#include "serial/SerialText.h"
#include "settings/SerialSettings.h"
#include "snmp/ModuleObjects.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedUi.h"
#include "support/SimModule.h"
#include "support/TestEnvironment.h"
#include "support/WindowDriver.h"

using namespace drive;

namespace {

const char* const kWrite = "marbled";
const char* const kRead = "582019374620";
const char* const kSettingsRead = "Connection established! SNMP data received. Port settings updated.";
const char* const kSettingsWritten = "Connection established! RS-232 parameters changed.";
const char* const kMessageSent = "Connection established! Message has been send sucessfully.";
const char* const kBufferRead = "Connection established! Message buffer retrieved.";
const char* const kBufferEmpty = "Receive buffer is empty!";
const char* const kFlushed = "Connection established! Serial port re-initialized; buffers flushed!";
const char* const kNothingSent = "Nothing sent: correct the marked field first.";

// Settings 4, 0, 1, 8 and a receive buffer of the given bytes ("" empty).
std::string State(const std::string& receiveHex, const std::string& more = "")
{
    return R"({"objects": {".1.5.1.1.1.0": {"value": 4}, ".1.5.1.1.2.0": {"value": 0},
        ".1.5.1.1.3.0": {"value": 1}, ".1.5.1.1.4.0": {"value": 8},
        ".1.5.1.2.3.0": {"type": "x", "value": ")"
        + receiveHex + "\"}}" + more + "}";
}

std::string Hex(const QByteArray& bytes) { return bytes.toHex(' ').toUpper().toStdString(); }

std::unique_ptr<CSerialDlg> OpenWindow(const SimModule& sim)
{
    sim.Use();
    auto window = std::make_unique<CSerialDlg>(SubWindowArgs {sim.Address(), kWrite, kRead});
    window->Create();
    return window;
}

// A window that has read its settings; journal and pauses start empty.
std::unique_ptr<CSerialDlg> ReadyWindow(SimModule& sim)
{
    auto window = OpenWindow(sim);
    sim.ClearJournal();
    TestEnvironment::TakePauses();
    return window;
}

// The receive area's characters as they are held: toPlainText() would turn
// a no-break space (byte 0xA0) into a blank.
QString HeldText(const CSerialDlg& window)
{
    const auto* area = window.Item<QPlainTextEdit>(IDC_SERIAL_RECEIVED);
    return area->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

QComboBox* Combo(const CSerialDlg& window, int id) { return window.Item<QComboBox>(id); }

QString Relative(const std::string& oid) { return QString::fromStdString(oid.substr(std::strlen(Oid::kEnterprise))); }

// Every button and check box caption fits its control.
void CheckCaptionsFit(const CDialog& window)
{
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const auto element = qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
        const int room = button->style()->subElementRect(element, &option, button).width();
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) <= room,
            qPrintable(button->objectName() + " \"" + button->text() + "\" is cut"));
    }
}

QByteArray AllByteValues(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += char((i * 37 + 11) & 0xFF);
    bytes[0] = 0;
    bytes[1] = char(0xFF);
    bytes[2] = char(0x80);
    return bytes;
}

}  // namespace

class TestSerial : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnvironment::Init(); }

    // ---- Texts without a window ---------------------------------------------------

    void hexDump_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("dump");
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("three") << QByteArray::fromHex("0041FF") << "00 41 FF ";
        QTest::newRow("eight") << QByteArray("ABCDEFGH") << "41 42 43 44 45 46 47 48 \r\n";
        QTest::newRow("nine") << QByteArray("ABCDEFGHI") << "41 42 43 44 45 46 47 48 \r\n49 ";
        QTest::newRow("twelve") << QByteArray::fromHex("000102030405060708090A0B")
                                << "00 01 02 03 04 05 06 07 \r\n08 09 0A 0B ";
    }

    void hexDump()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, dump);
        QCOMPARE(ToHexDump(bytes), dump);
        QByteArray back;
        QCOMPARE(FromHexDump(dump, back), !bytes.isEmpty());
        QCOMPARE(back, bytes);
    }

    void hexDumpRoundTripsEveryByte()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += char(i);
        QByteArray back;
        QVERIFY(FromHexDump(ToHexDump(all), back));
        QCOMPARE(back, all);
    }

    void fromHexDumpFailures_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("partial");
        QTest::newRow("one digit") << "4" << QByteArray();
        QTest::newRow("blanks only") << " \r\n " << QByteArray();
        QTest::newRow("lower case") << "41 4a" << QByteArray("A");
        QTest::newRow("odd count") << "41 42 4" << QByteArray("AB");
        QTest::newRow("not hex") << "41 G2 43" << QByteArray("A");
        QTest::newRow("beyond Latin-1") << QString::fromUtf8("41 \u0664\u0661") << QByteArray("A");
    }

    void fromHexDumpFailures()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, partial);
        QByteArray bytes("old");
        QVERIFY(!FromHexDump(text, bytes));
        QCOMPARE(bytes, partial);
    }

    void decodeEscapes_data()
    {
        QTest::addColumn<QByteArray>("quoted");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a \\t b") << QByteArray("a\\tb") << QByteArray("a\tb");
        QTest::newRow("escaped quote at the end") << QByteArray("say \\\"hi\\\"") << QByteArray("say \"hi\"");
        QTest::newRow("controls") << QByteArray("\\a\\b\\f\\n\\r\\t\\v") << QByteArray("\a\b\f\n\r\t\v");
        QTest::newRow("backslash") << QByteArray("C:\\\\x") << QByteArray("C:\\x");
        QTest::newRow("hex byte") << QByteArray("\\x41\\xff\\x00!") << QByteArray("A\xff\0!", 4);
        QTest::newRow("other letter") << QByteArray("\\q\\'") << QByteArray("q'");
        QTest::newRow("backslash at the end") << QByteArray("ab\\") << QByteArray("ab");
        QTest::newRow("\\x at the end") << QByteArray("ab\\x") << QByteArray("ab\\x");
        QTest::newRow("\\x and one digit at the end") << QByteArray("ab\\x4") << QByteArray("ab\\x4");
        QTest::newRow("\\x and no digit") << QByteArray("\\xZZ") << QByteArray("\\xZZ");
        QTest::newRow("\\x and one digit") << QByteArray("\\x4Zq") << QByteArray("\\x4Zq");
        QTest::newRow("\\x then an escape") << QByteArray("\\x\\t") << QByteArray("\\x\t");
    }

    void decodeEscapes()
    {
        QFETCH(QByteArray, quoted);
        QFETCH(QByteArray, bytes);
        QCOMPARE(DecodeEscapes(quoted), bytes);
    }

    void receivedForms_data()
    {
        QTest::addColumn<QByteArray>("printed");
        QTest::addColumn<int>("form");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("string") << QByteArray("STRING: \"a\\\\tb\"") << int(ReceivedData::Bytes)
                                << QByteArray("a\\tb");
        QTest::newRow("hex") << QByteArray("Hex-STRING: 00 41 FF \n80 ") << int(ReceivedData::Bytes)
                             << QByteArray::fromHex("0041FF80");
        QTest::newRow("bad hex") << QByteArray("Hex-STRING: 0G ") << int(ReceivedData::BadHexDump) << QByteArray();
        QTest::newRow("empty string") << QByteArray("\"\"") << int(ReceivedData::Empty) << QByteArray();
        QTest::newRow("no octet string") << QByteArray() << int(ReceivedData::NoOctetString) << QByteArray();
        QTest::newRow("marker inside the text") << QByteArray("STRING: \"Hex-STRING: 41\"") << int(ReceivedData::Bytes)
                                                << QByteArray("Hex-STRING: 41");
    }

    void receivedForms()
    {
        QFETCH(QByteArray, printed);
        QFETCH(int, form);
        QFETCH(QByteArray, bytes);
        const ReceivedData data = DecodeReceived(printed);
        QCOMPARE(int(data.form), form);
        QCOMPARE(data.bytes, bytes);
    }

    void textViewShowsEveryByte()
    {
        QCOMPARE(ReceiveViewText(QByteArray("A\0B", 3)), QString::fromUtf8("A\u2400B"));
        QCOMPARE(ReceiveViewText(QByteArray("x\r\ny\nz\r")), QString::fromUtf8("x\r\ny\nz\u240D"));
        QCOMPARE(ReceiveViewText(QByteArray("\x01\x7F\xE9\xFF\t")), QString::fromUtf8("\u2401\u2421\u00E9\u00FF\t"));
    }

    // ---- Line settings --------------------------------------------------------------

    void openingReadsAndShowsTheSettings()
    {
        SimModule sim(State("41"));
        ScriptedUi ui;
        auto window = OpenWindow(sim);
        QCOMPARE(Combo(*window, IDC_SERIAL_BAUD)->currentText(), QString("9600"));
        QCOMPARE(Combo(*window, IDC_SERIAL_PARITY)->currentText(), QString("None"));
        QCOMPARE(Combo(*window, IDC_SERIAL_FLOW)->currentText(), QString("Hardware "));
        QVERIFY(!Enabled(*window, IDC_SERIAL_FLOW));
        QCOMPARE(Text(*window, IDC_SERIAL_TIMEOUT), QString("8"));
        QCOMPARE(Status(*window), QString(kSettingsRead));
        const QStringList lists[] = {BaudRateItems(), ParityItems(), FlowControlItems()};
        const int ids[] = {IDC_SERIAL_BAUD, IDC_SERIAL_PARITY, IDC_SERIAL_FLOW};
        for (int i = 0; i < 3; ++i) {
            QStringList shown;
            for (int item = 0; item < Combo(*window, ids[i])->count(); ++item)
                shown << Combo(*window, ids[i])->itemText(item);
            QCOMPARE(shown, lists[i]);
        }
        QCOMPARE(BaudRateItems().value(8), QString("115200"));
        QCOMPARE(FlowControlItems().value(1), QString("Hardware "));

        QStringList read;
        for (const JournalEntry& entry : sim.Journal()) {
            QCOMPARE(entry.op, std::string("get"));
            QCOMPARE(entry.community, std::string(kRead));
            read << Relative(entry.oid);
        }
        QCOMPARE(read, QStringList({".1.5.1.1.1.0", ".1.5.1.1.2.0", ".1.5.1.1.3.0", ".1.5.1.1.4.0"}));
        QVERIFY(ui.Boxes().empty());
    }

    void settingsOutsideTheListsSelectNothing()
    {
        SimModule sim(R"({"objects": {".1.5.1.1.1.0": {"value": 12}, ".1.5.1.1.2.0": {"value": -1}}})");
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        QCOMPARE(Combo(*window, IDC_SERIAL_BAUD)->currentIndex(), -1);
        QCOMPARE(Combo(*window, IDC_SERIAL_PARITY)->currentIndex(), -1);
        Press(*window, IDC_SERIAL_SET_SETTINGS);  // an empty selection goes as -1
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(3));
        QCOMPARE(journal[0].value, std::string("-1"));
        QCOMPARE(journal[1].value, std::string("-1"));
    }

    void setSettingsWritesBaudParityTimeout()
    {
        SimModule sim(State("41"));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        Combo(*window, IDC_SERIAL_BAUD)->setCurrentIndex(8);
        Combo(*window, IDC_SERIAL_PARITY)->setCurrentIndex(2);
        SetText(*window, IDC_SERIAL_TIMEOUT, "4");
        Press(*window, IDC_SERIAL_SET_SETTINGS);

        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(3));
        const char* const oids[] = {".1.5.1.1.1.0", ".1.5.1.1.2.0", ".1.5.1.1.4.0"};
        const char* const values[] = {"8", "2", "4"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(journal[i].op, std::string("set"));
            QCOMPARE(Relative(journal[i].oid), QString(oids[i]));
            QCOMPARE(journal[i].type, std::string("i"));
            QCOMPARE(journal[i].value, std::string(values[i]));
            QCOMPARE(journal[i].community, std::string(kWrite));
        }
        QCOMPARE(Status(*window), QString(kSettingsWritten));
        QCOMPARE(TestEnvironment::TakePauses(), std::vector<unsigned> {150});
    }

    // A typed text that is no list item is no selection.
    void typedComboTextIsNoSelection()
    {
        SimModule sim(State("41"));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        Combo(*window, IDC_SERIAL_BAUD)->setEditText("12345");
        Combo(*window, IDC_SERIAL_PARITY)->setEditText("Odd");
        Press(*window, IDC_SERIAL_SET_SETTINGS);
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(3));
        QCOMPARE(journal[0].value, std::string("-1"));
        QCOMPARE(journal[1].value, std::string("2"));
    }

    // ---- Fields that stop an action -------------------------------------------------

    void badFieldStopsEveryAction_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("timeout");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("box");
        const struct {
            const char* name;
            int id;
        } buttons[] = {{"Set Settings", IDC_SERIAL_SET_SETTINGS}, {"Send Message", IDC_SERIAL_SEND},
            {"Get Message", IDC_SERIAL_GET_MESSAGE}};
        for (const auto& b : buttons) {
            QTest::addRow("%s, timeout 300", b.name) << b.id << "300"
                                                     << "hello"
                                                     << "Please enter an integer between 0 and 255.";
            QTest::addRow("%s, timeout 256", b.name) << b.id << "256"
                                                     << "hello"
                                                     << "Please enter an integer between 0 and 255.";
            QTest::addRow("%s, timeout letters", b.name) << b.id << "abc"
                                                         << "hello"
                                                         << "Please enter a positive integer.";
            QTest::addRow("%s, 65 characters", b.name) << b.id << "4" << QString(65, QLatin1Char('m'))
                                                       << "Please enter no more than 64 characters.";
        }
    }

    void badFieldStopsEveryAction()
    {
        QFETCH(int, button);
        QFETCH(QString, timeout);
        QFETCH(QString, message);
        QFETCH(QString, box);
        SimModule sim(State("41"));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, IDC_SERIAL_TIMEOUT, timeout);
        SetText(*window, IDC_SERIAL_MESSAGE, message);
        const QString received = Text(*window, IDC_SERIAL_RECEIVED);
        Press(*window, button);
        QCOMPARE(ui.BoxTexts(), QStringList(box));
        QVERIFY(sim.Journal().empty());
        QVERIFY(TestEnvironment::TakePauses().empty());
        QCOMPARE(Status(*window), QString(kNothingSent));
        QCOMPARE(Text(*window, IDC_SERIAL_TIMEOUT), timeout);  // left for correction
        QCOMPARE(Text(*window, IDC_SERIAL_MESSAGE), message);
        QCOMPARE(Text(*window, IDC_SERIAL_RECEIVED), received);
    }

    // ---- Sending ----------------------------------------------------------------------

    void messageGoesWholeAndAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("sent");
        const QString full = QString("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ+-");
        QTest::newRow("64 characters") << full << full.toLatin1();
        QTest::newRow("line breaks as CR LF") << "ab\ncd" << QByteArray("ab\r\ncd");
        QTest::newRow("no escape processing") << "a\\tb\\x41" << QByteArray("a\\tb\\x41");
        QTest::newRow("Latin-1") << QString::fromUtf8("caf\u00e9 \u00ff") << QByteArray("caf\xe9 \xff");
    }

    void messageGoesWholeAndAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, sent);
        SimModule sim(State("41"));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, IDC_SERIAL_MESSAGE, typed);
        Press(*window, IDC_SERIAL_SEND);
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(1));
        QCOMPARE(Relative(journal[0].oid), QString(".1.5.1.2.2.0"));
        QCOMPARE(journal[0].type, std::string("s"));
        QCOMPARE(journal[0].hex, Hex(sent));
        QCOMPARE(journal[0].community, std::string(kWrite));
        QCOMPARE(Status(*window), QString(kMessageSent));
        QVERIFY(ui.Boxes().empty());
    }

    void textBeyondLatin1IsRefused()
    {
        SimModule sim(State("41"));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        const QString typed = QString::fromUtf8("Gr\u00fc\u00dfe \u20ac5");
        SetText(*window, IDC_SERIAL_MESSAGE, typed);
        Press(*window, IDC_SERIAL_SEND);
        QVERIFY(sim.Journal().empty());
        QCOMPARE(ui.Boxes().size(), size_t(1));
        QCOMPARE(ui.Boxes()[0].flags & MB_ICONMASK, unsigned(MB_ICONSTOP));
        QVERIFY(ui.Boxes()[0].text.contains("Latin-1"));
        QCOMPARE(Status(*window), QString(kNothingSent));
        QCOMPARE(Text(*window, IDC_SERIAL_MESSAGE), typed);
    }

    void autoGetEndsWithTheFetchStatus()
    {
        SimModule sim(State("4F 4B"));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, IDC_SERIAL_MESSAGE, "AT");
        SetChecked(*window, IDC_SERIAL_AUTO_GET, true);
        Press(*window, IDC_SERIAL_SEND);
        QCOMPARE(Status(*window), QString(kBufferRead));
        QCOMPARE(Text(*window, IDC_SERIAL_RECEIVED), QString("OK"));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(2));
        QCOMPARE(journal[0].op + Relative(journal[0].oid).toStdString(), std::string("set.1.5.1.2.2.0"));
        QCOMPARE(journal[1].op + Relative(journal[1].oid).toStdString(), std::string("get.1.5.1.2.3.0"));
        QCOMPARE(journal[1].community, std::string(kRead));
    }

    // ---- Receiving --------------------------------------------------------------------

    void receiveBufferDecoded_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<QString>("shown");
        QTest::newRow("text") << QByteArray("READY\r\n") << "READY\n";
        QTest::newRow("TAB") << QByteArray("a\tb") << "a\tb";
        QTest::newRow("backslash and letters") << QByteArray("a\\tb") << "a\\tb";
        QTest::newRow("quotation marks") << QByteArray("say \"hi\"") << "say \"hi\"";
        QTest::newRow("hex string") << QByteArray::fromHex("0041FF") << QString::fromUtf8("\u2400A\u00ff");
    }

    void receiveBufferDecoded()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(QString, shown);
        SimModule sim(State(Hex(buffer)));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        Press(*window, IDC_SERIAL_GET_MESSAGE);
        QCOMPARE(Status(*window), QString(kBufferRead));
        QCOMPARE(window->ReceivedBytes(), buffer);
        QCOMPARE(Text(*window, IDC_SERIAL_RECEIVED), shown);
        Press(*window, IDC_SERIAL_HEX_VIEW);  // ticks it
        QCOMPARE(Checked(*window, IDC_SERIAL_HEX_VIEW), true);
        QCOMPARE(Text(*window, IDC_SERIAL_RECEIVED), ToHexDump(buffer).replace("\r\n", "\n"));
    }

    // 200 bytes with 0, 0x80 and 0xFF among them: all kept, all shown, and the
    // hexadecimal view gives back exactly the same bytes.
    void everyByteKeptThroughTheViews()
    {
        const QByteArray bytes = AllByteValues(200);
        SimModule sim(State(Hex(bytes)));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        Press(*window, IDC_SERIAL_GET_MESSAGE);
        QCOMPARE(window->ReceivedBytes(), bytes);
        const QString text = HeldText(*window);
        QVERIFY(text.startsWith(QString::fromUtf8("\u2400\u00ff\u0080")));
        QCOMPARE(text, ReceiveViewText(bytes).replace("\r\n", "\n"));
        for (int round = 0; round < 2; ++round) {
            Press(*window, IDC_SERIAL_HEX_VIEW);  // ticks it
            QCOMPARE(Checked(*window, IDC_SERIAL_HEX_VIEW), true);
            QByteArray fromView;
            QVERIFY(FromHexDump(Text(*window, IDC_SERIAL_RECEIVED), fromView));
            QCOMPARE(fromView, bytes);
            Press(*window, IDC_SERIAL_HEX_VIEW);  // clears it
            QCOMPARE(Checked(*window, IDC_SERIAL_HEX_VIEW), false);
            QCOMPARE(HeldText(*window), text);
            QCOMPARE(window->ReceivedBytes(), bytes);
        }
    }

    // abc, then def (a new module state), in the hexadecimal view without Self
    // Clear; then Self Clear keeps only the latest.
    void messagesAccumulateUntilSelfClear()
    {
        ScriptedUi ui;
        auto first = std::make_unique<SimModule>(State("61 62 63"));
        auto window = ReadyWindow(*first);
        Press(*window, IDC_SERIAL_HEX_VIEW);  // ticks it
        QCOMPARE(Checked(*window, IDC_SERIAL_HEX_VIEW), true);
        Press(*window, IDC_SERIAL_GET_MESSAGE);
        first.reset();
        SimModule second(State("64 65 66"));
        second.Use();
        Press(*window, IDC_SERIAL_GET_MESSAGE);
        QCOMPARE(Text(*window, IDC_SERIAL_RECEIVED), QString("61 62 63 64 65 66 "));
        Press(*window, IDC_SERIAL_HEX_VIEW);  // clears it
        QCOMPARE(Checked(*window, IDC_SERIAL_HEX_VIEW), false);
        QCOMPARE(Text(*window, IDC_SERIAL_RECEIVED), QString("abcdef"));

        SetChecked(*window, IDC_SERIAL_SELF_CLEAR, true);
        Press(*window, IDC_SERIAL_GET_MESSAGE);
        QCOMPARE(Text(*window, IDC_SERIAL_RECEIVED), QString("def"));
    }

    void twelveBytesDumpOnTwoLines()
    {
        SimModule sim(State("00 01 02 03 04 05 06 07 08 09 0A 0B"));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        Press(*window, IDC_SERIAL_HEX_VIEW);  // ticks it
        QCOMPARE(Checked(*window, IDC_SERIAL_HEX_VIEW), true);
        Press(*window, IDC_SERIAL_GET_MESSAGE);
        QCOMPARE(Text(*window, IDC_SERIAL_RECEIVED).split('\n'),
            QStringList({"00 01 02 03 04 05 06 07 ", "08 09 0A 0B "}));
    }

    // Nothing new arrives: the area keeps what it had.
    void receiveWithoutNewData_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("status");
        QTest::newRow("empty buffer") << QString::fromStdString(State("")) << kBufferEmpty;
        QTest::newRow("not an octet string")
            << R"({"objects": {".1.5.1.2.3.0": {"type": "i", "value": 7, "access": "ro"}}})"
            << "The module's receive buffer holds no octet string: nothing received.";
        QTest::newRow("no answer") << QString::fromStdString(State("41", R"(, "faults": {".1.5.1.2.3.0": {"silence": true}})"))
                                   << QString(fixture::kSnmpError).arg(-2);
    }

    void receiveWithoutNewData()
    {
        QFETCH(QString, state);
        QFETCH(QString, status);
        ScriptedUi ui;
        auto window = std::unique_ptr<CSerialDlg>();
        {
            SimModule before(State("4F 4B"));
            window = ReadyWindow(before);
            Press(*window, IDC_SERIAL_GET_MESSAGE);
        }
        SimModule sim(state.toStdString());
        sim.Use();
        Press(*window, IDC_SERIAL_GET_MESSAGE);
        QCOMPARE(Status(*window), status);
        QCOMPARE(Text(*window, IDC_SERIAL_RECEIVED), QString("OK"));
        QCOMPARE(window->ReceivedBytes(), QByteArray("OK"));
        QVERIFY(ui.Boxes().empty());
    }

    void flushReadsTheCommandAndEmptiesTheBuffer()
    {
        SimModule sim(State("4F 4B"));
        ScriptedUi ui;
        auto window = ReadyWindow(sim);
        SetText(*window, IDC_SERIAL_TIMEOUT, "abc");  // the flush takes no fields
        Press(*window, IDC_SERIAL_FLUSH);
        QCOMPARE(Status(*window), QString(kFlushed));
        SetText(*window, IDC_SERIAL_TIMEOUT, "8");
        Press(*window, IDC_SERIAL_GET_MESSAGE);
        QCOMPARE(Status(*window), QString(kBufferEmpty));
        const auto journal = sim.Journal();
        QCOMPARE(journal.size(), size_t(2));
        QCOMPARE(Relative(journal[0].oid), QString(".1.5.1.2.1.0"));
        QCOMPARE(journal[0].op, std::string("get"));
        QCOMPARE(journal[0].community, std::string(kRead));
        QVERIFY(ui.Boxes().empty());
    }

    void mainWindowOpensIt()
    {
        SimModule sim;
        ScriptedUi ui;
        auto main = fixture::ReadyWindow(sim);
        Press(*main, IDC_RS232);
        auto* window = qobject_cast<CSerialDlg*>(main->SubWindowOf(SubWindow::Serial));
        QVERIFY(window);
        QCOMPARE(window->TemplateId(), 141);
        QVERIFY(!window->windowTitle().isEmpty());
        QCOMPARE(Status(*window), QString(kSettingsRead));
        QCOMPARE(Combo(*window, IDC_SERIAL_BAUD)->currentText(), QString("57600"));  // the module's index 7
        QCOMPARE(sim.Journal().size(), size_t(4));
        CheckCaptionsFit(*window);
    }
};

QTEST_MAIN(TestSerial)
#include "test_win_serial.moc"
