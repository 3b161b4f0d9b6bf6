// The dialog layer around field exchange: windows built from templates, the
// IP address control and its byte orders, notifications (clicks, focus loss,
// operator edits, selections, the tab strip's veto), OK/Cancel/Enter, modal
// runs that block only their owner, the status line, the report list, the
// multi-line limit, the UI seams and the pause hook.

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <vector>

#include "base/Pause.h"
#include "platform/DataExchange.h"
#include "platform/Dialog.h"
#include "platform/DialogUnits.h"
#include "platform/IpAddressCtrl.h"
#include "platform/LimitedTextEdit.h"
#include "platform/ReportList.h"
#include "platform/TabBar.h"
#include "platform/WindowPlaceKeeper.h"
#include "support/ScriptedUi.h"

namespace {

enum : int {
    IDC_GO = 2001,
    IDC_TWO_LINES = 2002,
    IDC_CHECK = 2003,
    IDC_R1 = 2004,
    IDC_R2 = 2005,
    IDC_S1 = 2006,
    IDC_S2 = 2007,
    IDC_SECRET = 2008,
    IDC_SHOWN = 2009,
    IDC_ADDRESS = 2010,
    IDC_CHOICE = 2011,
    IDC_LIST = 2012,
    IDC_TABS = 2013,
    IDC_PROGRESS = 2014,
    IDC_MESSAGE = 2015,
    IDC_ICON = 2016,
    IDC_NUMBER = 2017,
    IDC_EDITABLE = 2018,
};

using K = ControlKind;

const DialogTemplate kLayerTemplate = {901, "Layer Test", 240, 200,
    {
        {IDC_GO, K::DefPushButton, "Go", 10, 10, 40, 14},
        {IDC_TWO_LINES, K::PushButton, "Two\nLines", 60, 10, 40, 20, WS_DISABLED},
        {IDC_STATIC, K::GroupBox, "Frame", 5, 35, 110, 60},
        {IDC_CHECK, K::CheckBox, "Check", 10, 45, 50, 10},
        {IDC_R1, K::RadioButton, "R1", 10, 57, 30, 10, WS_GROUP},
        {IDC_R2, K::RadioButton, "R2", 10, 69, 30, 10},
        {IDC_S1, K::RadioButton, "S1", 60, 57, 30, 10, WS_GROUP},
        {IDC_S2, K::RadioButton, "S2", 60, 69, 30, 10},
        {IDC_STATIC, K::Static, "Label\nline two", 120, 40, 50, 16, SS_RIGHT},
        {IDC_SECRET, K::Edit, "", 120, 60, 50, 12, ES_PASSWORD, 8},
        {IDC_SHOWN, K::Edit, "", 120, 75, 50, 12, ES_READONLY},
        {IDC_ADDRESS, K::IpAddress, "", 120, 90, 80, 12},
        {IDC_CHOICE, K::ComboDropList, "", 10, 100, 60, 80},
        {IDC_LIST, K::ListReport, "", 10, 118, 100, 40},
        {IDC_TABS, K::TabBar, "", 120, 105, 110, 50},
        {IDC_PROGRESS, K::Progress, "", 10, 162, 100, 8, WS_HIDDEN},
        {IDC_MESSAGE, K::Edit, "", 120, 125, 60, 30, ES_MULTILINE | WS_VSCROLL, 6},
        {IDC_ICON, K::Icon, "", 200, 10, 20, 20},
        {IDC_NUMBER, K::Edit, "", 180, 60, 40, 12},
        {IDC_EDITABLE, K::ComboDropDown, "", 180, 75, 50, 60},
        {IDOK, K::PushButton, "OK", 140, 165, 40, 14},
        {IDCANCEL, K::PushButton, "Cancel", 190, 165, 40, 14},
        {IDC_STATUS, K::StatusLine, "", 0, 185, 240, 12},
    }};

// One field with validation (1..10), the status line, and a hook for tests
// that need to end the dialog during its initialisation.
class CLayerDlg : public CDialog {
public:
    CLayerDlg() : CDialog(kLayerTemplate) { }

    uint32_t m_number = 5;
    std::function<void()> onInit;

    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (onInit)
            onInit();
        return true;
    }

protected:
    void DoDataExchange(CDataExchange& dx) override
    {
        DDX_Text(dx, IDC_NUMBER, m_number);
        DDV_MinMaxUInt(dx, m_number, 1, 10);
        DDX_Text(dx, IDC_STATUS, m_status);
    }
};

const DialogTemplate kBareTemplate = {902, "Bare", 100, 50, {{IDOK, K::DefPushButton, "OK", 10, 10, 40, 14}}};

// Notifications in the order they arrive, as "id:kind".
class Recorder {
public:
    void Watch(CDialog& dlg, int id, Notify what, const char* name)
    {
        dlg.OnNotify(id, what, [this, id, name] { events << QString("%1:%2").arg(id).arg(name); });
    }
    QStringList events;
};

QLineEdit* Edit(CDialog& dlg, int id) { return dlg.Item<QLineEdit>(id); }

void ShowActive(QWidget& dlg)
{
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
}

// Sends each character to whatever has the focus, as typing does.
void TypeIntoFocus(const QString& text)
{
    for (QChar c : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

// The control on `page` that holds `widget`.
int ControlIdOf(const QWidget* page, const QWidget* widget)
{
    while (widget && widget->parentWidget() != page)
        widget = widget->parentWidget();
    return widget ? widget->objectName().toInt() : 0;
}

}  // namespace

class TestDialogLayer : public QObject {
    Q_OBJECT

private slots:
    void builderFollowsTemplate();
    void tabOrderIsTemplateOrder();
    void radioGroupsAreSeparate();
    void ipAddressPackingAndHelpers();
    void ipAddressOperator();
    void ipAddressTyping_data();
    void ipAddressTyping();
    void windowComesBackOntoAScreen_data();
    void windowComesBackOntoAScreen();
    void operatorNotifications();
    void tabChangingIsAskedFirstAndCanVeto();
    void okCancelAndEnter();
    void modalRuns();
    void modalRunBlocksOnlyItsOwner();
    void destroyingDispatchesNothing();
    void statusLinePushesEverything();
    void reportListKeepsInsertionSorted();
    void windowSizeFollowsTheFont_data();
    void windowSizeFollowsTheFont();
    void multiLineLimitStopsTyping();
    void scriptedUi();
    void realMessageBoxFollowsFlags_data();
    void realMessageBoxFollowsFlags();
    void realSaveDialogAndClipboard();
    void sleepHook();
};

void TestDialogLayer::builderFollowsTemplate()
{
    CLayerDlg dlg;
    QStringList names, expected;
    for (QObject* child : dlg.Page()->children()) {
        if (child->isWidgetType())
            names << child->objectName();
    }
    for (const ControlSpec& spec : kLayerTemplate.controls)
        expected << QString::number(spec.id);
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
    QCOMPARE(dlg.windowTitle(), QString("Layer Test"));

    QVERIFY(dlg.Item<QPushButton>(IDC_GO)->isDefault());
    QVERIFY(!dlg.Item<QPushButton>(IDOK)->isDefault());
    QCOMPARE(dlg.Item<QPushButton>(IDC_TWO_LINES)->text(), QString("Two\nLines"));
    QVERIFY(!dlg.GetDlgItem(IDC_TWO_LINES)->isEnabled());
    QVERIFY(dlg.findChild<QLabel*>("-1")->wordWrap());
    QCOMPARE(Edit(dlg, IDC_SECRET)->maxLength(), 8);
    QVERIFY(Edit(dlg, IDC_SHOWN)->isReadOnly() && !Edit(dlg, IDC_SECRET)->isReadOnly());
    QCOMPARE(dlg.Item<CLimitedTextEdit>(IDC_MESSAGE)->Limit(), 6);
    dlg.show();
    QVERIFY(!dlg.GetDlgItem(IDC_PROGRESS)->isVisible() && dlg.GetDlgItem(IDC_CHECK)->isVisible());

    // Dialog units of the dialog's font; a combo box is one line high whatever
    // height the template gives for its list; group boxes lie behind their
    // controls.
    const CDialogUnits units(dlg.font());
    QCOMPARE(dlg.size(), QSize(units.X(240), units.Y(200)));
    QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
    QCOMPARE(dlg.GetDlgItem(IDC_TWO_LINES)->geometry(), QRect(units.X(60), units.Y(10), units.X(40), units.Y(20)));
    QCOMPARE(dlg.GetDlgItem(IDC_CHOICE)->pos(), QPoint(units.X(10), units.Y(100)));
    QVERIFY(dlg.GetDlgItem(IDC_CHOICE)->height() < units.Y(20));
    const QObjectList& stack = dlg.Page()->children();
    QVERIFY(stack.indexOf(dlg.findChild<QGroupBox*>()) < stack.indexOf(dlg.GetDlgItem(IDC_CHECK)));
}

void TestDialogLayer::windowSizeFollowsTheFont_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");
    for (const char* family : {"DejaVu Sans", "DejaVu Serif"})
        for (int points : {3, 5, 9, 12, 16})
            QTest::addRow("%s %d", family, points) << QString::fromLatin1(family) << points;
}

// A window is 240 x 200 units: a quarter of the letters' average width by an
// eighth of the font's height each, the character never counting smaller than
// the 6 x 13 pixels it was drawn for (so never below 360 x 325 pixels).
void TestDialogLayer::windowSizeFollowsTheFont()
{
    QFETCH(QString, family);
    QFETCH(int, points);
    const QFont saved = QApplication::font();
    QFont font(family, points);
    QApplication::setFont(font);
    const QFontMetricsF metrics(font);
    const double average = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
    const QSize size = CLayerDlg().size();
    QApplication::setFont(saved);

    const double charWidth = std::max(average, 6.0);
    const int charHeight = std::max(QFontMetrics(font).height(), 13);
    QVERIFY2(std::abs(size.width() - 240 * charWidth / 4) <= 240 / 4 * 0.5 + 1, qPrintable(QString::number(average)));
    QVERIFY(std::abs(size.height() - 200 * charHeight / 8.0) <= 1);
    QVERIFY(size.width() >= 360 && size.height() >= 325);
}

// Walking the focus chain meets the controls in template order.
void TestDialogLayer::tabOrderIsTemplateOrder()
{
    CLayerDlg dlg;
    QList<int> chain;
    for (QWidget* w = dlg.nextInFocusChain(); w != &dlg; w = w->nextInFocusChain()) {
        const int id = ControlIdOf(dlg.Page(), w);
        if ((w->focusPolicy() & Qt::TabFocus) && id != 0 && (chain.isEmpty() || chain.last() != id))
            chain << id;
    }
    const QList<int> expected = {IDC_GO, IDC_TWO_LINES, IDC_CHECK, IDC_R1, IDC_R2, IDC_S1, IDC_S2, IDC_SECRET,
        IDC_SHOWN, IDC_ADDRESS, IDC_CHOICE, IDC_LIST, IDC_TABS, IDC_MESSAGE, IDC_NUMBER, IDC_EDITABLE, IDOK, IDCANCEL};
    QCOMPARE(chain, expected);
}

void TestDialogLayer::radioGroupsAreSeparate()
{
    CLayerDlg dlg;
    auto radio = [&](int id) { return dlg.Item<QRadioButton>(id); };
    radio(IDC_R2)->click();
    radio(IDC_S1)->click();
    radio(IDC_R1)->click();
    QVERIFY(radio(IDC_R1)->isChecked() && !radio(IDC_R2)->isChecked());
    QVERIFY(radio(IDC_S1)->isChecked());
}

// The control packs the first field into the most significant byte; an
// IpAddress result word holds the first octet in its least significant byte.
void TestDialogLayer::ipAddressPackingAndHelpers()
{
    CLayerDlg dlg;
    CIPAddressCtrl* ip = dlg.IpCtrl(IDC_ADDRESS);
    uint32_t word = 1;
    QCOMPARE(ip->GetAddress(word), 0);
    QCOMPARE(word, 0u);
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("0.0.0.0"));

    ip->SetAddress(0xC0A80102u);
    QCOMPARE(ip->Field(0)->text(), QString("192"));
    QCOMPARE(ip->GetAddress(word), 4);
    QCOMPARE(word, 0xC0A80102u);
    ip->Field(2)->clear();
    QCOMPARE(ip->GetAddress(word), 3);
    QCOMPARE(word, 0xC0A80002u);
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("192.168.0.2"));

    dlg.SetIpFromResult(0x026410ACu, IDC_ADDRESS);
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("172.16.100.2"));
    ip->ClearAddress();
    QVERIFY(ip->IsBlank());
}

// Typing: '.' moves on, three digits move on by themselves, 256 is refused,
// a read-only control takes nothing. Focus moving between the fields is not
// leaving the control.
void TestDialogLayer::ipAddressOperator()
{
    CLayerDlg dlg;
    ShowActive(dlg);
    CIPAddressCtrl* ip = dlg.IpCtrl(IDC_ADDRESS);
    Recorder rec;
    rec.Watch(dlg, IDC_ADDRESS, Notify::KillFocus, "kill");
    ip->setFocus();
    QCOMPARE(QApplication::focusWidget(), ip->Field(0));
    TypeIntoFocus("10.200");
    TypeIntoFocus("256.7");
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("10.200.25.7"));
    QVERIFY(rec.events.isEmpty());

    dlg.SetReadOnly(IDC_ADDRESS, true);
    ip->Field(0)->setFocus();
    TypeIntoFocus("9");
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("10.200.25.7"));
    dlg.GetDlgItem(IDC_GO)->setFocus();
    QCOMPARE(rec.events, QStringList {"2010:kill"});
}

void TestDialogLayer::ipAddressTyping_data()
{
    QTest::addColumn<QString>("start");  // the four fields, '.' between them
    QTest::addColumn<QString>("keys");  // {BS} Backspace, {PASTE} Ctrl+V, {MENU} Paste from the field's menu
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("fields");
    const QString full("10.20.30.40"), empty("...");
    QTest::newRow("address over a full control") << full << "192.168.1.20" << "" << "192.168.1.20";
    QTest::newRow("short parts over a full control") << full << "127.0.0.5" << "" << "127.0.0.5";
    QTest::newRow("address into an empty control") << empty << "192.168.1.20" << "" << "192.168.1.20";
    QTest::newRow("one-digit parts") << full << "1.2.3.4" << "" << "1.2.3.4";
    QTest::newRow("three-digit parts, dots") << full << "255.255.255.255" << "" << "255.255.255.255";
    QTest::newRow("three-digit parts, no dots") << full << "192168001020" << "" << "192.168.001.020";
    QTest::newRow("dot moves on, typing replaces") << full << ".5" << "" << "10.5.30.40";
    QTest::newRow("only the first dot after a move") << full << "123..4" << "" << "123.20.4.40";
    QTest::newRow("dot in an empty part") << empty << ".1" << "" << "1...";
    QTest::newRow("dot in the last part") << full << "1.2.3.4.5" << "" << "1.2.3.45";
    QTest::newRow("part above 255") << empty << "999.256.1.2" << "" << "99.25.1.2";
    QTest::newRow("backspace across parts") << empty << "192.168{BS}{BS}{BS}{BS}{BS}{BS}7.1" << ""
                                            << "197.1..";
    QTest::newRow("paste an address") << full << "{PASTE}" << " 192.168.1.20\n" << "192.168.1.20";
    QTest::newRow("paste then go on typing") << empty << "{PASTE}{BS}{BS}7" << "192.168.1.20" << "192.168.1.7";
    QTest::newRow("paste from the menu") << full << "{MENU}" << "172.16.100.2" << "172.16.100.2";
    QTest::newRow("paste digits") << full << "1{PASTE}.7" << "92" << "192.7.30.40";
    QTest::newRow("paste a number too big") << full << "{PASTE}" << "256" << "10.20.30.40";
    QTest::newRow("paste a partial address") << full << "{PASTE}" << "1.2.3" << "10.20.30.40";
}

// Typing enters the control as Tab does, its first part selected.
void TestDialogLayer::ipAddressTyping()
{
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, clipboard);
    QFETCH(QString, fields);
    ScriptedUi ui;
    ui.clipboard = clipboard;
    CLayerDlg dlg;
    ShowActive(dlg);
    CIPAddressCtrl* ip = dlg.IpCtrl(IDC_ADDRESS);
    const QStringList startFields = start.split('.');
    for (int i = 0; i < 4; ++i)
        ip->Field(i)->setText(startFields[i]);
    ip->Field(0)->setFocus(Qt::TabFocusReason);
    QCOMPARE(ip->Field(0)->selectedText(), startFields[0]);

    static const QRegularExpression kToken(R"(\{(\w+)\}|.)");
    for (auto it = kToken.globalMatch(keys); it.hasNext();) {
        const QRegularExpressionMatch token = it.next();
        QWidget* focus = QApplication::focusWidget();
        if (token.captured(1) == "BS") {
            QTest::keyClick(focus, Qt::Key_Backspace);
        } else if (token.captured(1) == "PASTE") {
            QTest::keySequence(focus, QKeySequence::Paste);
        } else if (token.captured(1) == "MENU") {
            QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(), focus->mapToGlobal(QPoint()));
            QApplication::sendEvent(focus, &menuEvent);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions())
                if (action->text().startsWith(QLineEdit::tr("&Paste")))
                    action->trigger();
            menu->close();
        } else {
            QTest::keyClicks(focus, token.captured(0));
        }
    }
    QStringList shown;
    for (int i = 0; i < 4; ++i)
        shown << ip->Field(i)->text();
    QCOMPARE(shown.join('.'), fields);
}

void TestDialogLayer::windowComesBackOntoAScreen_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QPoint>("placed");
    const QSize size(400, 300);
    auto add = [&](const char* name, QPoint left, QPoint placed) {
        QTest::newRow(name) << QRect(left, size) << placed;
    };
    // One 1920 x 1080 screen whose top 40 rows are a panel, a 1280 x 1024
    // screen to its right; title bars 30 high.
    add("on the screen", {100, 100}, {100, 100});
    add("top-left corner", {0, 40}, {0, 40});
    add("off the right edge", {3000, 100}, {2800, 100});
    add("far off the right", {9000, 100}, {2800, 100});
    add("lower part off the bottom", {100, 1000}, {100, 1000});
    add("title bar off the bottom", {100, 1060}, {100, 780});
    add("title bar under the panel", {100, 30}, {100, 40});
    add("frame corner above the screen", {-1, -20}, {0, 40});
    add("far off, negative", {-5000, -3000}, {0, 40});
    add("title bar partly off the left", {-200, 300}, {0, 300});
    add("across both screens", {1800, 100}, {1800, 100});
    add("on the second screen", {2000, 700}, {2000, 700});
    add("title bar off the second screen", {2000, 1050}, {2000, 724});
    add("off the first screen's right edge, below the second", {1700, 1030}, {1520, 780});
    QTest::newRow("larger than the screen") << QRect(-100, 500, 2400, 1200) << QPoint(0, 40);
}

void TestDialogLayer::windowComesBackOntoAScreen()
{
    QFETCH(QRect, frame);
    QFETCH(QPoint, placed);
    const QList<QRect> areas = {QRect(0, 40, 1920, 1040), QRect(1920, 0, 1280, 1024)};
    const QRect result = OntoNearestScreen(frame, 30, areas);
    QCOMPARE(result.size(), frame.size());
    QCOMPARE(result.topLeft(), placed);
}

// Clicks (also by program), operator edits, focus loss and operator
// selections reach the handlers; the program's own changes do not.
void TestDialogLayer::operatorNotifications()
{
    CLayerDlg dlg;
    ShowActive(dlg);
    Recorder rec;
    for (int id : {IDC_GO, IDC_CHECK, IDC_R2, IDC_TWO_LINES})
        rec.Watch(dlg, id, Notify::Clicked, "clicked");
    rec.Watch(dlg, IDC_SECRET, Notify::KillFocus, "kill");
    rec.Watch(dlg, IDC_SECRET, Notify::Change, "change");
    rec.Watch(dlg, IDC_EDITABLE, Notify::KillFocus, "kill");
    rec.Watch(dlg, IDC_MESSAGE, Notify::Change, "change");
    rec.Watch(dlg, IDC_CHOICE, Notify::SelChange, "sel");
    rec.Watch(dlg, IDC_LIST, Notify::DoubleClick, "double");

    dlg.Item<QPushButton>(IDC_GO)->click();
    dlg.Item<QCheckBox>(IDC_CHECK)->click();
    dlg.Item<QRadioButton>(IDC_R2)->click();
    dlg.Item<QPushButton>(IDC_TWO_LINES)->click();  // disabled
    dlg.Item<QCheckBox>(IDC_CHECK)->setChecked(false);  // program
    Edit(dlg, IDC_SECRET)->setFocus();
    QTest::keyClicks(Edit(dlg, IDC_SECRET), "a");
    Edit(dlg, IDC_SECRET)->setText("program");
    dlg.Item<QComboBox>(IDC_EDITABLE)->setFocus();
    dlg.GetDlgItem(IDC_GO)->setFocus();
    auto* message = dlg.Item<CLimitedTextEdit>(IDC_MESSAGE);
    message->SetText("ab");
    QTest::keyClicks(message, "x");
    auto* combo = dlg.Item<QComboBox>(IDC_CHOICE);
    combo->addItems({"A", "B"});
    combo->setCurrentIndex(0);
    QTest::keyClick(combo, Qt::Key_Down);
    auto* list = dlg.Item<CReportList>(IDC_LIST);
    list->InsertColumn(0, "Name");
    list->InsertItem("row");
    const QPoint row = list->visualItemRect(list->topLevelItem(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);

    QCOMPARE(rec.events,
        QStringList({"2001:clicked", "2003:clicked", "2005:clicked", "2008:change", "2008:kill", "2018:kill",
            "2015:change", "2011:sel", "2012:double"}));
}

// The "about to change" handler sees the tab being left; a veto keeps it.
void TestDialogLayer::tabChangingIsAskedFirstAndCanVeto()
{
    CLayerDlg dlg;
    ShowActive(dlg);
    auto* tabs = dlg.Item<CTabBar>(IDC_TABS);
    QStringList seen;
    bool allow = true;
    dlg.OnTabChanging(IDC_TABS, [&] {
        seen << QString("changing from %1").arg(tabs->currentIndex());
        return allow;
    });
    dlg.OnNotify(IDC_TABS, Notify::SelChange, [&] { seen << QString("changed to %1").arg(tabs->currentIndex()); });
    for (int port = 0; port < 3; ++port)
        tabs->addTab(QString("Port %1").arg(port));
    tabs->setCurrentIndex(1);
    QVERIFY(seen.isEmpty());  // the program's changes announce nothing

    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QCOMPARE(seen, QStringList({"changing from 1", "changed to 2"}));

    seen.clear();
    allow = false;
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Left);
    QCOMPARE(seen, QStringList({"changing from 2", "changing from 2"}));
    QCOMPARE(tabs->currentIndex(), 2);
}

// OK takes the fields and ends only when they are valid; Esc and Cancel end
// without taking; a registered handler replaces the default, also for the
// close box; Return presses the default button, also from a multi-line edit
// that does not want it.
void TestDialogLayer::okCancelAndEnter()
{
    ScriptedUi ui;
    CLayerDlg dlg;
    ShowActive(dlg);
    Edit(dlg, IDC_NUMBER)->setText("11");
    dlg.Item<QPushButton>(IDOK)->click();
    QCOMPARE(ui.BoxTexts(), QStringList {"Please enter an integer between 1 and 10."});
    QVERIFY(dlg.isVisible());
    Edit(dlg, IDC_NUMBER)->setText("7");
    dlg.Item<QPushButton>(IDOK)->click();
    QCOMPARE(dlg.m_number, 7u);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(IDOK));

    ShowActive(dlg);
    Edit(dlg, IDC_NUMBER)->setText("3");
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(IDCANCEL));
    QCOMPARE(dlg.m_number, 7u);

    ShowActive(dlg);
    Recorder rec;
    rec.Watch(dlg, IDCANCEL, Notify::Clicked, "cancel");
    rec.Watch(dlg, IDC_GO, Notify::Clicked, "go");
    dlg.close();
    QVERIFY(dlg.isVisible());
    QTest::keyClick(Edit(dlg, IDC_NUMBER), Qt::Key_Return);
    auto* message = dlg.Item<CLimitedTextEdit>(IDC_MESSAGE);
    message->setFocus();
    QTest::keyClick(message, Qt::Key_Return);
    QCOMPARE(message->Text(), QString());
    QCOMPARE(rec.events, QStringList({"2:cancel", "2001:go", "2001:go"}));
}

void TestDialogLayer::modalRuns()
{
    CLayerDlg dlg;
    dlg.m_number = 9;
    QString shown;
    QTimer::singleShot(0, &dlg, [&] {
        shown = Edit(dlg, IDC_NUMBER)->text();  // pushed by OnInitDialog
        dlg.Item<QPushButton>(IDOK)->click();
    });
    QCOMPARE(dlg.DoModal(), int(IDOK));
    QCOMPARE(shown, QString("9"));

    CLayerDlg early;  // ended during initialisation: no modal loop at all
    early.onInit = [&early] { early.EndDialog(42); };
    QCOMPARE(early.DoModal(), 42);

    CLayerDlg modeless;
    modeless.m_number = 4;
    QVERIFY(modeless.Create());
    QCOMPARE(Edit(modeless, IDC_NUMBER)->text(), QString("4"));
    QVERIFY(!modeless.isVisible());
}

// The main window runs modally, yet the modeless windows opened beside it
// take input; a box run from the main window blocks the main window only.
void TestDialogLayer::modalRunBlocksOnlyItsOwner()
{
    CLayerDlg main, beside, box;
    QStringList clicks;
    // Through the window system, where modal blocking applies.
    auto press = [](CDialog& dlg) {
        const QWidget* button = dlg.GetDlgItem(IDC_GO);
        QTest::mouseClick(dlg.windowHandle(), Qt::LeftButton, {}, button->mapTo(&dlg, button->rect().center()));
    };
    beside.OnCommand(IDC_GO, [&] { clicks << "beside"; });
    box.OnCommand(IDC_GO, [&] {
        clicks << "box";
        box.EndDialog(IDOK);
    });
    box.onInit = [&] {
        QTimer::singleShot(0, [&] {
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            press(main);
            press(beside);
            press(box);
        });
    };
    main.OnCommand(IDC_GO, [&] {
        clicks << "main";
        if (!box.isVisible())
            box.DoModal();
    });
    main.onInit = [&] {
        QTimer::singleShot(0, [&] {
            beside.Create();
            beside.show();
            QVERIFY(QTest::qWaitForWindowExposed(&beside));
            press(beside);
            main.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&main));
            press(main);
            main.EndDialog(IDCANCEL);
        });
    };
    QCOMPARE(main.DoModal(), int(IDCANCEL));
    QCOMPARE(clicks, QStringList({"beside", "main", "beside", "box"}));
}

// Destroying a window whose edit has the focus raises focus loss; nothing may
// reach the handlers of a half-destroyed window (run with the sanitizers).
void TestDialogLayer::destroyingDispatchesNothing()
{
    int calls = 0;
    for (int id : {IDC_SECRET, IDC_ADDRESS}) {
        auto* dlg = new CLayerDlg;
        ShowActive(*dlg);
        dlg->OnNotify(id, Notify::KillFocus, [&calls] { ++calls; });
        dlg->GetDlgItem(id)->setFocus();
        delete dlg;
    }
    QCOMPARE(calls, 0);
}

void TestDialogLayer::statusLinePushesEverything()
{
    CLayerDlg dlg;
    dlg.m_number = 3;
    Edit(dlg, IDC_NUMBER)->setText("8");  // typed, not yet taken
    dlg.SetStatus("Connecting to target host ...");
    dlg.AppendStatus("(more)");
    QCOMPARE(dlg.Item<QLabel>(IDC_STATUS)->text(), QString("Connecting to target host ...(more)"));
    QCOMPARE(Edit(dlg, IDC_NUMBER)->text(), QString("3"));

    CDialog bare(kBareTemplate);  // no status line: only the member changes
    bare.SetStatus("x");
    QCOMPARE(bare.StatusText(), QString("x"));
}

// Every row is inserted with an empty first column and filled afterwards, so
// the latest row is on top; rows with text sort among themselves.
void TestDialogLayer::reportListKeepsInsertionSorted()
{
    CReportList list;
    list.InsertColumn(0, "MAC found");
    list.InsertColumn(1, "Port");
    for (const char* mac : {"00-11", "AA-BB", "55-66"}) {
        const int row = list.InsertItem(list.GetItemCount(), "");
        QCOMPARE(row, 0);
        QVERIFY(list.SetItemText(row, 0, mac));
    }
    QCOMPARE(list.GetItemText(0, 0) + list.GetItemText(1, 0) + list.GetItemText(2, 0), QString("55-66AA-BB00-11"));
    QVERIFY(!list.SetItemText(0, 2, "x"));

    list.DeleteAllItems();
    QCOMPARE(list.InsertItem("b"), 0);
    QCOMPARE(list.InsertItem("D"), 1);
    QCOMPARE(list.InsertItem("C"), 1);  // case is ignored
    QCOMPARE(list.InsertItem("a"), 0);

    // Columns grow to their widest entry.
    const QString longest = QStringLiteral("00-1A-2B-3C-4D-5E and more");
    QVERIFY(list.columnWidth(0) < list.fontMetrics().horizontalAdvance(longest));
    list.SetItemText(2, 0, longest);
    QCoreApplication::processEvents();
    QVERIFY(list.columnWidth(0) >= list.fontMetrics().horizontalAdvance(longest));
}

// A line break counts two; typing over a selection needs room only for the
// difference; the program may set more than the limit.
void TestDialogLayer::multiLineLimitStopsTyping()
{
    CLayerDlg dlg;
    ShowActive(dlg);
    auto* message = dlg.Item<CLimitedTextEdit>(IDC_MESSAGE);
    message->SetWantReturn(true);
    message->setFocus();
    QTest::keyClicks(message, "abc");
    QTest::keyClick(message, Qt::Key_Return);
    QTest::keyClicks(message, "defg");
    QCOMPARE(message->Text(), QString("abc\r\nd"));
    message->selectAll();
    QTest::keyClicks(message, "123456789");
    QCOMPARE(message->Text(), QString("123456"));
    message->SetText("0123456789");
    QCOMPARE(message->Text(), QString("0123456789"));
}

void TestDialogLayer::scriptedUi()
{
    IUiSeam* real = &Ui();
    {
        ScriptedUi ui;
        ui.QueueAnswer(IDNO);
        QCOMPARE(AfxMessageBox("First?", MB_YESNO | MB_ICONQUESTION), int(IDNO));
        QCOMPARE(AfxMessageBox("Second?", MB_YESNO), int(IDYES));  // queue empty
        QCOMPARE(AfxMessageBox("Done."), int(IDOK));
        QCOMPARE(ui.BoxTexts(), QStringList({"First?", "Second?", "Done."}));
        ui.QueueSaveFile("/tmp/out.cfg");
        QCOMPARE(Ui().GetSaveFileName(nullptr, {}), QString("/tmp/out.cfg"));
        QCOMPARE(Ui().GetOpenFileName(nullptr, {}), QString());
        QCOMPARE(ui.fileDialogs.size(), size_t(2));
    }
    QCOMPARE(&Ui(), real);
}

void TestDialogLayer::realMessageBoxFollowsFlags_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("answer");
    QTest::newRow("ok") << uint(MB_OK | MB_ICONEXCLAMATION) << int(QMessageBox::Warning) << "OK" << int(QMessageBox::Ok)
                        << int(IDOK);
    QTest::newRow("ok/cancel") << uint(MB_OKCANCEL | MB_ICONSTOP) << int(QMessageBox::Critical) << "OK Cancel"
                               << int(QMessageBox::Cancel) << int(IDCANCEL);
    QTest::newRow("yes/no") << uint(MB_YESNO | MB_ICONQUESTION) << int(QMessageBox::Question) << "Yes No"
                            << int(QMessageBox::No) << int(IDNO);
    QTest::newRow("yes/no/cancel") << uint(MB_YESNOCANCEL | MB_ICONINFORMATION) << int(QMessageBox::Information)
                                   << "Yes No Cancel" << int(QMessageBox::Yes) << int(IDYES);
}

// The product's seam shows a QMessageBox with the icon and buttons the flags
// ask for and turns the pressed button into the framework's answer.
// The real dialogs instead of the test executable's unscripted-box guard.
struct RealUi {
    IUiSeam* replaced = SetUiSeam(nullptr);
    ~RealUi() { SetUiSeam(replaced); }
};

void TestDialogLayer::realMessageBoxFollowsFlags()
{
    const RealUi real;
    QFETCH(uint, flags);
    QFETCH(int, icon);
    QFETCH(QString, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        QStringList texts;
        for (QAbstractButton* button : box->buttons())
            texts << button->text().remove('&');
        texts.sort();
        QStringList expected = buttons.split(' ');
        expected.sort();
        seen = QString("%1|%2|%3|%4").arg(box->windowTitle(), box->text()).arg(box->icon()).arg(texts == expected);
        box->button(QMessageBox::StandardButton(press))->click();
    });
    QCOMPARE(AfxMessageBox("Really?", flags), answer);
    QCOMPARE(seen, QString("Kalvor|Really?|%1|1").arg(icon));
}

void TestDialogLayer::realSaveDialogAndClipboard()
{
    const RealUi real;
    QTemporaryDir dir;
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = QString("%1|%2|%3|%4")
                   .arg(dialog->windowTitle(), dialog->defaultSuffix(), dialog->nameFilters().join(';'))
                   .arg(dialog->acceptMode() == QFileDialog::AcceptSave
                       && !dialog->testOption(QFileDialog::DontConfirmOverwrite));
        dialog->selectFile(dir.filePath("image"));
        static_cast<QDialog*>(dialog)->accept();  // public in the base
    });
    FileDialogSpec spec;
    spec.title = "Save image";
    spec.filter = "Images (*.cfg)";
    spec.defaultExt = ".cfg";
    QCOMPARE(Ui().GetSaveFileName(nullptr, spec), dir.filePath("image.cfg"));
    QCOMPARE(seen, QString("Save image|cfg|Images (*.cfg)|1"));

    Ui().SetClipboardText("00:11:22");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("00:11:22"));
}

void TestDialogLayer::sleepHook()
{
    std::vector<unsigned> pauses;
    SetSleepHook([&pauses](unsigned ms) { pauses.push_back(ms); });
    Sleep(150);
    SetSleepHook(nullptr);
    QCOMPARE(pauses, std::vector<unsigned> {150});
    QElapsedTimer timer;
    timer.start();
    Sleep(30);
    QVERIFY(timer.elapsed() >= 30);
    QCOMPARE(pauses.size(), size_t(1));
}

QTEST_MAIN(TestDialogLayer)
#include "test_dialog_layer.moc"
