// The dialog layer around field exchange: building a window from its template
// (ids, kinds, captions, initial states, geometry, tab order, radio groups),
// the IP address control, the address helpers' byte orders, notifications
// (clicks, focus loss, operator edits, combo and list selection, the tab
// strip's veto before a change), default OK/Cancel/Enter behaviour, the
// modal run, the status line, the report list, the scripted UI seam and the
// pause hook.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <vector>

#include "platform/DataExchange.h"
#include "platform/Dialog.h"
#include "platform/IpAddressCtrl.h"
#include "platform/LimitedTextEdit.h"
#include "platform/Pause.h"
#include "platform/ReportList.h"
#include "platform/TabBar.h"
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

const DialogTemplate kLayerTemplate = {
    901, "Layer Test", 240, 200,
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
    CLayerDlg() : CDialog(kLayerTemplate) {}

    uint32_t m_number = 5;
    std::function<void()> onInit;

    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit) onInit();
        return true;
    }

protected:
    void DoDataExchange(CDataExchange& dx) override {
        DDX_Text(dx, IDC_NUMBER, m_number);
        DDV_MinMaxUInt(dx, m_number, 1, 10);
        DDX_Text(dx, IDC_STATUS, m_status);
    }
};

const DialogTemplate kBareTemplate = {902, "Bare", 100, 50, {{IDOK, K::DefPushButton, "OK", 10, 10, 40, 14}}};

// Notifications in the order they arrive, as "id:kind".
class Recorder {
public:
    void Watch(CDialog& dlg, int id, Notify what, const char* name) {
        dlg.OnNotify(id, what, [this, id, name] { events << QString("%1:%2").arg(id).arg(name); });
    }
    QStringList events;
};

QLineEdit* Edit(CDialog& dlg, int id) { return dlg.Item<QLineEdit>(id); }

void ShowActive(QWidget& dlg) {
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
}

// Sends each character to whatever has the focus, as typing does.
void TypeIntoFocus(const QString& text) {
    for (QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

// The dialog's control that holds `widget`.
int ControlIdOf(const QWidget* dialog, const QWidget* widget) {
    while (widget && widget->parentWidget() != dialog) widget = widget->parentWidget();
    return widget ? widget->objectName().toInt() : 0;
}

}  // namespace

class TestDialogLayer : public QObject {
    Q_OBJECT

private slots:
    void builderMakesOneWidgetPerControl();
    void builderAppliesKindsAndStyles();
    void builderPlacesInDialogUnits();
    void tabOrderIsTemplateOrder();
    void radioGroupsAreSeparate();

    void ipAddressPacking();
    void ipAddressOperatorTyping();
    void ipAddressReadOnly();
    void ipHelpersByteOrder();

    void clickDispatchesHandlers();
    void okAndCancelDefaults();
    void doModalRunsAndEnds();
    void modalRunBlocksOnlyItsOwner();
    void enterPressesDefaultButton();
    void killFocusAndChange();
    void comboSelChangeOnlyFromOperator();
    void tabChangingIsAskedFirstAndCanVeto();
    void destroyingDispatchesNothing();

    void statusLineAndControlHelpers();
    void reportListKeepsInsertionSorted();
    void multiLineLimitStopsTyping();

    void scriptedUiAnswersAndRecords();
    void sleepHook();
};

// ---- builder ---------------------------------------------------------------

void TestDialogLayer::builderMakesOneWidgetPerControl() {
    CLayerDlg dlg;
    QStringList names;
    for (QObject* child : dlg.children()) {
        if (child->isWidgetType()) names << child->objectName();
    }
    QStringList expected;
    for (const ControlSpec& spec : kLayerTemplate.controls) expected << QString::number(spec.id);
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
    QCOMPARE(dlg.windowTitle(), QString("Layer Test"));
    QCOMPARE(dlg.TemplateId(), 901);
    QVERIFY(dlg.findChild<QGroupBox*>("-1", Qt::FindDirectChildrenOnly));
    QVERIFY(dlg.GetDlgItem(9999) == nullptr);
}

void TestDialogLayer::builderAppliesKindsAndStyles() {
    CLayerDlg dlg;
    auto* go = dlg.Item<QPushButton>(IDC_GO);
    QVERIFY(go && go->isDefault());
    QCOMPARE(go->text(), QString("Go"));
    QVERIFY(!dlg.Item<QPushButton>(IDOK)->isDefault());
    QCOMPARE(dlg.Item<QPushButton>(IDC_TWO_LINES)->text(), QString("Two\nLines"));
    QVERIFY(!dlg.GetDlgItem(IDC_TWO_LINES)->isEnabled());
    QCOMPARE(dlg.Item<QCheckBox>(IDC_CHECK)->text(), QString("Check"));

    auto* label = dlg.findChild<QLabel*>("-1", Qt::FindDirectChildrenOnly);
    QVERIFY(label);
    QCOMPARE(label->text(), QString("Label\nline two"));
    QVERIFY(label->wordWrap());
    QVERIFY(label->alignment() & Qt::AlignRight);

    QCOMPARE(Edit(dlg, IDC_SECRET)->echoMode(), QLineEdit::Password);
    QCOMPARE(Edit(dlg, IDC_SECRET)->maxLength(), 8);
    QVERIFY(Edit(dlg, IDC_SHOWN)->isReadOnly());
    QVERIFY(!Edit(dlg, IDC_SECRET)->isReadOnly());
    QVERIFY(dlg.IpCtrl(IDC_ADDRESS));
    QVERIFY(!dlg.Item<QComboBox>(IDC_CHOICE)->isEditable());
    QVERIFY(dlg.Item<QComboBox>(IDC_EDITABLE)->isEditable());
    QVERIFY(dlg.Item<CReportList>(IDC_LIST));
    QVERIFY(dlg.Item<CTabBar>(IDC_TABS));
    QCOMPARE(dlg.Item<CLimitedTextEdit>(IDC_MESSAGE)->Limit(), 6);
    QVERIFY(!dlg.Item<QLabel>(IDC_ICON)->pixmap().isNull());

    dlg.show();
    QVERIFY(!dlg.Item<QProgressBar>(IDC_PROGRESS)->isVisible());
    QVERIFY(dlg.GetDlgItem(IDC_CHECK)->isVisible());
    auto* status = dlg.Item<QLabel>(IDC_STATUS);
    QCOMPARE(status->frameShadow(), QFrame::Sunken);
    QVERIFY(!status->wordWrap());
}

void TestDialogLayer::builderPlacesInDialogUnits() {
    QCOMPARE(DluToPixelsX(40), 60);
    QCOMPARE(DluToPixelsY(8), 13);
    CLayerDlg dlg;
    QCOMPARE(dlg.size(), QSize(360, 325));
    QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
    QCOMPARE(dlg.GetDlgItem(IDC_TWO_LINES)->geometry(), QRect(90, 16, 60, 32));
    QCOMPARE(dlg.GetDlgItem(IDC_STATUS)->geometry(), QRect(0, 300, 360, 19));
    // A combo box is one line high whatever the template gives for its list.
    QVERIFY(dlg.GetDlgItem(IDC_CHOICE)->height() < DluToPixelsY(20));
    QCOMPARE(dlg.GetDlgItem(IDC_CHOICE)->pos(), QPoint(15, 162));

    // Group boxes are drawn behind the controls they frame.
    const QObjectList& stack = dlg.children();
    QVERIFY(stack.indexOf(dlg.findChild<QGroupBox*>()) < stack.indexOf(dlg.GetDlgItem(IDC_CHECK)));
}

// Walking the focus chain meets the controls in template order.
void TestDialogLayer::tabOrderIsTemplateOrder() {
    CLayerDlg dlg;
    QList<int> chain;
    for (QWidget* w = dlg.nextInFocusChain(); w != &dlg; w = w->nextInFocusChain()) {
        const int id = ControlIdOf(&dlg, w);
        if (!(w->focusPolicy() & Qt::TabFocus) || id == 0 || (!chain.isEmpty() && chain.last() == id)) continue;
        chain << id;
    }
    const QList<int> expected = {IDC_GO,      IDC_TWO_LINES, IDC_CHECK, IDC_R1,     IDC_R2,       IDC_S1,
                                 IDC_S2,      IDC_SECRET,    IDC_SHOWN, IDC_ADDRESS, IDC_CHOICE,  IDC_LIST,
                                 IDC_TABS,    IDC_MESSAGE,   IDC_NUMBER, IDC_EDITABLE, IDOK,       IDCANCEL};
    QCOMPARE(chain, expected);
}

void TestDialogLayer::radioGroupsAreSeparate() {
    CLayerDlg dlg;
    auto radio = [&](int id) { return dlg.Item<QRadioButton>(id); };
    QVERIFY(radio(IDC_R1)->group() && radio(IDC_R1)->group() == radio(IDC_R2)->group());
    QVERIFY(radio(IDC_S1)->group() != radio(IDC_R1)->group());
    radio(IDC_R2)->click();
    radio(IDC_S1)->click();
    QVERIFY(radio(IDC_R2)->isChecked() && radio(IDC_S1)->isChecked());
    radio(IDC_R1)->click();
    QVERIFY(radio(IDC_R1)->isChecked() && !radio(IDC_R2)->isChecked());
    QVERIFY(radio(IDC_S1)->isChecked());
}

// ---- IP address control ----------------------------------------------------

void TestDialogLayer::ipAddressPacking() {
    CIPAddressCtrl ip;
    QVERIFY(ip.IsBlank());
    uint32_t word = 1;
    QCOMPARE(ip.GetAddress(word), 0);
    QCOMPARE(word, 0u);

    ip.SetAddress(0xC0A80102u);  // first field in the most significant byte
    QCOMPARE(ip.Field(0)->text(), QString("192"));
    QCOMPARE(ip.Field(3)->text(), QString("2"));
    QCOMPARE(ip.GetAddress(word), 4);
    QCOMPARE(word, 0xC0A80102u);

    ip.Field(2)->clear();  // a blank field counts as 0 and is not counted
    QCOMPARE(ip.GetAddress(word), 3);
    QCOMPARE(word, 0xC0A80002u);

    ip.SetAddress(10, 0, 300, 1);  // each field keeps its low byte
    QCOMPARE(ip.GetAddress(word), 4);
    QCOMPARE(word, 0x0A002C01u);

    ip.ClearAddress();
    QVERIFY(ip.IsBlank());
    QCOMPARE(ip.GetAddress(word), 0);
    QVERIFY(ip.Field(4) == nullptr);
}

void TestDialogLayer::ipAddressOperatorTyping() {
    CLayerDlg dlg;
    ShowActive(dlg);
    CIPAddressCtrl* ip = dlg.IpCtrl(IDC_ADDRESS);
    int changes = 0;
    dlg.OnNotify(IDC_ADDRESS, Notify::Change, [&changes] { ++changes; });
    ip->setFocus();
    QCOMPARE(QApplication::focusWidget(), ip->Field(0));
    // '.' moves on, three digits move on by themselves, 256 is refused.
    TypeIntoFocus("10.200");
    TypeIntoFocus("25");
    TypeIntoFocus("6");
    TypeIntoFocus(".7");
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("10.200.25.7"));
    QVERIFY(changes > 0);
}

void TestDialogLayer::ipAddressReadOnly() {
    CLayerDlg dlg;
    ShowActive(dlg);
    dlg.SetReadOnly(IDC_ADDRESS, true);
    CIPAddressCtrl* ip = dlg.IpCtrl(IDC_ADDRESS);
    QVERIFY(ip->IsReadOnly());
    ip->SetAddress(1, 2, 3, 4);  // the program still writes it
    ip->setFocus();
    TypeIntoFocus("9");
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("1.2.3.4"));
    dlg.SetReadOnly(IDC_ADDRESS, false);
    QVERIFY(!ip->Field(3)->isReadOnly());
}

// GetIpText shows blank fields as 0; an IpAddress result word holds the first
// octet in its least significant byte.
void TestDialogLayer::ipHelpersByteOrder() {
    CLayerDlg dlg;
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("0.0.0.0"));
    dlg.SetIpFromResult(0x026410ACu, IDC_ADDRESS);
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("172.16.100.2"));
    QCOMPARE(dlg.IpCtrl(IDC_ADDRESS)->Field(0)->text(), QString("172"));
    dlg.IpCtrl(IDC_ADDRESS)->Field(2)->clear();
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("172.16.0.2"));
    dlg.SetIpFromResult(0xFF0000FFu, IDC_ADDRESS);
    QCOMPARE(dlg.GetIpText(IDC_ADDRESS), QString("255.0.0.255"));
}

// ---- notifications ---------------------------------------------------------

void TestDialogLayer::clickDispatchesHandlers() {
    CLayerDlg dlg;
    Recorder rec;
    rec.Watch(dlg, IDC_GO, Notify::Clicked, "clicked");
    rec.Watch(dlg, IDC_CHECK, Notify::Clicked, "clicked");
    rec.Watch(dlg, IDC_R2, Notify::Clicked, "clicked");
    rec.Watch(dlg, IDC_TWO_LINES, Notify::Clicked, "clicked");
    dlg.Item<QPushButton>(IDC_GO)->click();
    dlg.Item<QCheckBox>(IDC_CHECK)->click();
    dlg.Item<QRadioButton>(IDC_R2)->click();
    dlg.Item<QPushButton>(IDC_TWO_LINES)->click();  // disabled: nothing
    dlg.Item<QCheckBox>(IDC_CHECK)->setChecked(false);  // program: nothing
    QCOMPARE(rec.events, QStringList({"2001:clicked", "2003:clicked", "2005:clicked"}));

    // A later registration replaces the earlier one.
    int second = 0;
    dlg.OnCommand(IDC_GO, [&second] { ++second; });
    dlg.Item<QPushButton>(IDC_GO)->click();
    QCOMPARE(second, 1);
    QCOMPARE(rec.events.size(), 3);
}

void TestDialogLayer::okAndCancelDefaults() {
    ScriptedUi ui;
    {
        // OK takes the fields and ends the dialog only when they are valid.
        CLayerDlg dlg;
        ShowActive(dlg);
        QSignalSpy finished(&dlg, &QDialog::finished);
        Edit(dlg, IDC_NUMBER)->setText("11");
        dlg.Item<QPushButton>(IDOK)->click();
        QCOMPARE(ui.BoxTexts(), QStringList{"Please enter an integer between 1 and 10."});
        QVERIFY(dlg.isVisible());
        QCOMPARE(finished.count(), 0);
        Edit(dlg, IDC_NUMBER)->setText("7");
        dlg.Item<QPushButton>(IDOK)->click();
        QCOMPARE(dlg.m_number, 7u);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(dlg.result(), int(IDOK));
    }
    {
        // Esc and the Cancel button end with IDCANCEL, without taking.
        CLayerDlg dlg;
        ShowActive(dlg);
        Edit(dlg, IDC_NUMBER)->setText("3");
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(IDCANCEL));
        QCOMPARE(dlg.m_number, 5u);
    }
    {
        // A registered handler replaces the default; closing goes through it too.
        CLayerDlg dlg;
        ShowActive(dlg);
        int cancels = 0;
        dlg.OnCommand(IDCANCEL, [&cancels] { ++cancels; });
        dlg.Item<QPushButton>(IDCANCEL)->click();
        dlg.close();
        QCOMPARE(cancels, 2);
        QVERIFY(dlg.isVisible());
    }
}

void TestDialogLayer::doModalRunsAndEnds() {
    ScriptedUi ui;
    CLayerDlg dlg;
    dlg.m_number = 9;
    QTimer::singleShot(0, &dlg, [&dlg] {
        QCOMPARE(Edit(dlg, IDC_NUMBER)->text(), QString("9"));  // pushed by OnInitDialog
        dlg.Item<QPushButton>(IDOK)->click();
    });
    QCOMPARE(dlg.DoModal(), int(IDOK));

    // Ended during initialisation: no modal loop at all.
    CLayerDlg early;
    early.onInit = [&early] { early.EndDialog(42); };
    QCOMPARE(early.DoModal(), 42);
    QVERIFY(!early.isVisible());

    // Modeless: initialised (members pushed), not shown.
    CLayerDlg modeless;
    modeless.m_number = 4;
    QVERIFY(modeless.Create());
    QCOMPARE(Edit(modeless, IDC_NUMBER)->text(), QString("4"));
    QVERIFY(!modeless.isVisible());
}

// The main window runs modally, yet the modeless windows opened beside it
// take input; a box run from the main window blocks the main window only.
void TestDialogLayer::modalRunBlocksOnlyItsOwner() {
    CLayerDlg main;
    CLayerDlg beside;
    CLayerDlg box;
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

void TestDialogLayer::enterPressesDefaultButton() {
    CLayerDlg dlg;
    ShowActive(dlg);
    Recorder rec;
    rec.Watch(dlg, IDC_GO, Notify::Clicked, "clicked");
    Edit(dlg, IDC_NUMBER)->setFocus();
    QTest::keyClick(Edit(dlg, IDC_NUMBER), Qt::Key_Return);
    QCOMPARE(rec.events, QStringList{"2001:clicked"});

    // A multi-line edit without "want return" leaves Return to the dialog.
    auto* message = dlg.Item<CLimitedTextEdit>(IDC_MESSAGE);
    message->setFocus();
    QTest::keyClick(message, Qt::Key_Return);
    QCOMPARE(rec.events.size(), 2);
    QCOMPARE(message->Text(), QString());
}

void TestDialogLayer::killFocusAndChange() {
    CLayerDlg dlg;
    ShowActive(dlg);
    Recorder rec;
    rec.Watch(dlg, IDC_SECRET, Notify::KillFocus, "kill");
    rec.Watch(dlg, IDC_SECRET, Notify::Change, "change");
    rec.Watch(dlg, IDC_ADDRESS, Notify::KillFocus, "kill");
    rec.Watch(dlg, IDC_EDITABLE, Notify::KillFocus, "kill");
    rec.Watch(dlg, IDC_MESSAGE, Notify::Change, "change");

    Edit(dlg, IDC_SECRET)->setFocus();
    QTest::keyClicks(Edit(dlg, IDC_SECRET), "ab");
    Edit(dlg, IDC_SECRET)->setText("program");  // not an operator edit
    dlg.IpCtrl(IDC_ADDRESS)->setFocus();
    QCOMPARE(rec.events, QStringList({"2008:change", "2008:change", "2008:kill"}));

    // Moving between the address fields is not leaving the control.
    rec.events.clear();
    dlg.IpCtrl(IDC_ADDRESS)->Field(2)->setFocus();
    dlg.IpCtrl(IDC_ADDRESS)->Field(1)->setFocus();
    QVERIFY(rec.events.isEmpty());
    dlg.Item<QComboBox>(IDC_EDITABLE)->setFocus();
    dlg.GetDlgItem(IDC_GO)->setFocus();
    QCOMPARE(rec.events, QStringList({"2010:kill", "2018:kill"}));

    rec.events.clear();
    auto* message = dlg.Item<CLimitedTextEdit>(IDC_MESSAGE);
    message->SetText("ab");  // set by the program
    message->setFocus();
    QTest::keyClicks(message, "x");
    QCOMPARE(rec.events, QStringList{"2015:change"});
}

void TestDialogLayer::comboSelChangeOnlyFromOperator() {
    CLayerDlg dlg;
    ShowActive(dlg);
    Recorder rec;
    rec.Watch(dlg, IDC_CHOICE, Notify::SelChange, "sel");
    auto* combo = dlg.Item<QComboBox>(IDC_CHOICE);
    combo->addItems({"A", "B", "C"});
    combo->setCurrentIndex(0);
    QVERIFY(rec.events.isEmpty());
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(rec.events, QStringList{"2011:sel"});
}

// The "about to change" handler sees the tab being left; a veto keeps it.
void TestDialogLayer::tabChangingIsAskedFirstAndCanVeto() {
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
    for (int port = 0; port < 3; ++port) tabs->addTab(QString("Port %1").arg(port));
    tabs->setCurrentIndex(1);
    QVERIFY(seen.isEmpty());  // the program's changes announce nothing

    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QCOMPARE(seen, QStringList({"changing from 1", "changed to 2"}));

    seen.clear();
    allow = false;
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Left);
    tabs->SelectAsUser(0);
    QCOMPARE(seen, QStringList({"changing from 2", "changing from 2", "changing from 2"}));
    QCOMPARE(tabs->currentIndex(), 2);

    seen.clear();
    allow = true;
    tabs->SelectAsUser(0);
    QCOMPARE(seen, QStringList({"changing from 2", "changed to 0"}));
}

// Destroying a window whose edit has the focus raises focus loss; nothing may
// reach the handlers of a half-destroyed window.
void TestDialogLayer::destroyingDispatchesNothing() {
    int calls = 0;
    auto* dlg = new CLayerDlg;
    ShowActive(*dlg);
    dlg->OnNotify(IDC_SECRET, Notify::KillFocus, [&calls] { ++calls; });
    dlg->OnNotify(IDC_ADDRESS, Notify::KillFocus, [&calls] { ++calls; });
    Edit(*dlg, IDC_SECRET)->setFocus();
    delete dlg;
    auto* second = new CLayerDlg;
    ShowActive(*second);
    second->OnNotify(IDC_ADDRESS, Notify::KillFocus, [&calls] { ++calls; });
    second->IpCtrl(IDC_ADDRESS)->setFocus();
    delete second;
    QCOMPARE(calls, 0);
}

// ---- status line and helpers -----------------------------------------------

void TestDialogLayer::statusLineAndControlHelpers() {
    CLayerDlg dlg;
    dlg.m_number = 3;
    Edit(dlg, IDC_NUMBER)->setText("8");  // typed, not yet taken
    dlg.SetStatus("Connecting to target host ...");
    QCOMPARE(dlg.Item<QLabel>(IDC_STATUS)->text(), QString("Connecting to target host ..."));
    QCOMPARE(Edit(dlg, IDC_NUMBER)->text(), QString("3"));  // every member pushed
    dlg.AppendStatus("(more)");
    QCOMPARE(dlg.StatusText(), QString("Connecting to target host ...(more)"));
    QCOMPARE(dlg.Item<QLabel>(IDC_STATUS)->text(), dlg.StatusText());

    CDialog bare(kBareTemplate);  // no status line: only the member changes
    bare.SetStatus("x");
    QCOMPARE(bare.StatusText(), QString("x"));

    dlg.SetButtonEnabled(IDC_TWO_LINES, true);
    QVERIFY(dlg.GetDlgItem(IDC_TWO_LINES)->isEnabled());
    dlg.SetButtonEnabled(IDC_GO, false);
    QVERIFY(!dlg.GetDlgItem(IDC_GO)->isEnabled());
    dlg.EnableControl(IDC_ADDRESS, false);
    QVERIFY(!dlg.IpCtrl(IDC_ADDRESS)->Field(0)->isEnabled());
    dlg.SetReadOnly(IDC_SHOWN, false);
    QVERIFY(!Edit(dlg, IDC_SHOWN)->isReadOnly());
    dlg.SetReadOnly(IDC_MESSAGE, true);
    QVERIFY(dlg.Item<QPlainTextEdit>(IDC_MESSAGE)->isReadOnly());
    dlg.SetCaption(IDC_CHECK, "Renamed");
    dlg.SetCaption(IDC_TWO_LINES, "A\nB");
    QCOMPARE(dlg.Item<QCheckBox>(IDC_CHECK)->text(), QString("Renamed"));
    QCOMPARE(dlg.Item<QPushButton>(IDC_TWO_LINES)->text(), QString("A\nB"));
}

// Every row is inserted with an empty first column and filled afterwards, so
// the latest row is on top; rows with text sort among themselves.
void TestDialogLayer::reportListKeepsInsertionSorted() {
    CReportList list;
    QCOMPARE(list.InsertColumn(0, "MAC found", 100), 0);
    QCOMPARE(list.InsertColumn(1, "Port", 50), 1);
    QCOMPARE(list.InsertColumn(2, "Age", 50), 2);
    QCOMPARE(list.GetColumnCount(), 3);
    QCOMPARE(list.ColumnHeading(1), QString("Port"));
    QCOMPARE(list.columnWidth(0), 100);

    for (const char* mac : {"00-11", "AA-BB", "55-66"}) {
        const int row = list.InsertItem(list.GetItemCount(), "");
        QCOMPARE(row, 0);
        QVERIFY(list.SetItemText(row, 0, mac));
        QVERIFY(list.SetItemText(row, 1, "3"));
    }
    QCOMPARE(list.GetItemText(0, 0), QString("55-66"));
    QCOMPARE(list.GetItemText(1, 0), QString("AA-BB"));
    QCOMPARE(list.GetItemText(2, 0), QString("00-11"));
    QVERIFY(!list.SetItemText(5, 0, "x"));
    QVERIFY(!list.SetItemText(0, 3, "x"));

    list.DeleteAllItems();
    QCOMPARE(list.InsertItem("b"), 0);
    QCOMPARE(list.InsertItem("D"), 1);
    QCOMPARE(list.InsertItem("C"), 1);  // case is ignored
    QCOMPARE(list.InsertItem("a"), 0);
    QCOMPARE(list.GetItemCount(), 4);
    QVERIFY(list.DeleteItem(0));
    QVERIFY(!list.DeleteItem(9));
    QCOMPARE(list.GetItemText(0, 0), QString("b"));
}

void TestDialogLayer::multiLineLimitStopsTyping() {
    CLayerDlg dlg;
    ShowActive(dlg);
    auto* message = dlg.Item<CLimitedTextEdit>(IDC_MESSAGE);
    message->SetWantReturn(true);
    message->setFocus();
    QTest::keyClicks(message, "abc");
    QTest::keyClick(message, Qt::Key_Return);  // counts two
    QTest::keyClicks(message, "defg");
    QCOMPARE(message->Text(), QString("abc\r\nd"));

    // Typing over a selection only needs room for the difference.
    message->selectAll();
    QTest::keyClicks(message, "123456789");
    QCOMPARE(message->Text(), QString("123456"));

    // The program may set more than the limit.
    message->SetText("0123456789");
    QCOMPARE(message->Text(), QString("0123456789"));
}

// ---- seams -----------------------------------------------------------------

void TestDialogLayer::scriptedUiAnswersAndRecords() {
    IUiSeam* real = &Ui();
    {
        ScriptedUi ui;
        QCOMPARE(&Ui(), static_cast<IUiSeam*>(&ui));
        ui.QueueAnswer(IDNO);
        ui.QueueAnswer(IDCANCEL);
        QCOMPARE(AfxMessageBox("First?", MB_YESNO | MB_ICONQUESTION), int(IDNO));
        QCOMPARE(AfxMessageBox("Second?", MB_OKCANCEL), int(IDCANCEL));
        QCOMPARE(AfxMessageBox("Third?", MB_YESNO), int(IDYES));  // queue empty
        QCOMPARE(AfxMessageBox("Done."), int(IDOK));
        QCOMPARE(ui.BoxTexts(), QStringList({"First?", "Second?", "Third?", "Done."}));
        QCOMPARE(ui.Boxes()[0].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
        QCOMPARE(ui.Boxes()[3].flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
        QCOMPARE(ui.Boxes()[3].caption, QString("Kalvor"));

        ui.QueueSaveFile("/tmp/out.cfg");
        FileDialogSpec spec;
        spec.title = "Save";
        spec.defaultExt = "cfg";
        QCOMPARE(Ui().GetSaveFileName(nullptr, spec), QString("/tmp/out.cfg"));
        QCOMPARE(Ui().GetSaveFileName(nullptr, spec), QString());
        QCOMPARE(Ui().GetOpenFileName(nullptr, spec), QString());
        QCOMPARE(ui.fileDialogs.size(), size_t(3));
        QCOMPARE(ui.fileDialogs[0].defaultExt, QString("cfg"));

        Ui().SetClipboardText("copied");
        QCOMPARE(ui.clipboard, QString("copied"));
        QCOMPARE(Ui().ClipboardText(), QString("copied"));
    }
    QCOMPARE(&Ui(), real);
}

void TestDialogLayer::sleepHook() {
    std::vector<unsigned> pauses;
    SetSleepHook([&pauses](unsigned ms) { pauses.push_back(ms); });
    QElapsedTimer timer;
    timer.start();
    Sleep(5000);
    Sleep(150);
    QVERIFY(timer.elapsed() < 1000);
    QCOMPARE(pauses, (std::vector<unsigned>{5000, 150}));

    SetSleepHook(nullptr);
    timer.restart();
    Sleep(30);
    QVERIFY(timer.elapsed() >= 30);
    QCOMPARE(pauses.size(), size_t(2));
}

QTEST_MAIN(TestDialogLayer)
#include "test_dialog_layer.moc"
