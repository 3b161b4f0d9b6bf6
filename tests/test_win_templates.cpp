// The window templates: every control of the main window, the About box and
// the change-community window with its id, kind, caption, initial state and
// limit (the expected tables below are kept by hand, independently of the
// templates and of the id names); a layout without overlaps that stays
// inside its window; captions that fit their controls, including the longest
// captions the main window gives its controls at run time; and the built
// widgets with template order as tab order.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QStyleOptionButton>
#include <QtTest>
#include <algorithm>
#include <map>
#include <vector>

#include "platform/DialogBuilder.h"
#include "platform/DialogTemplate.h"
#include "platform/IpAddressCtrl.h"
#include "res/AboutDlgTemplate.h"
#include "res/AppIcon.h"
#include "res/CommunityDlgTemplate.h"
#include "res/MainDlgTemplate.h"

namespace {

using K = ControlKind;
constexpr unsigned DIS = WS_DISABLED;
constexpr unsigned RO = ES_READONLY;
constexpr unsigned PW = ES_PASSWORD;
// The style bits that make the initial state; layout-only bits are not compared.
constexpr unsigned kStateBits = WS_DISABLED | ES_READONLY | ES_PASSWORD | WS_HIDDEN;

struct Expected {
    int id;
    ControlKind kind;
    const char* caption;
    unsigned state;
    int limit;
};

const std::vector<Expected> kMainTable = {
    {1004, K::DefPushButton, "Read Settings", 0, 0},
    {1007, K::IpAddress, "", 0, 0},
    {1041, K::PushButton, "Set", DIS, 0},
    {1011, K::Edit, "", RO, 17},
    {1042, K::PushButton, "Set", DIS, 0},
    {1010, K::Edit, "", RO, 17},
    {1043, K::PushButton, "Set", DIS, 0},
    {1015, K::Edit, "", RO, 0},
    {1044, K::PushButton, "Set", DIS, 0},
    {1045, K::PushButton, "Change R/W Pass", DIS, 0},
    {1014, K::Edit, "", RO, 0},
    {1046, K::PushButton, "Set", DIS, 0},
    {1016, K::CheckBox, "SNMP access to IP settings", 0, 0},
    {1017, K::CheckBox, "Skip broadcast packets", 0, 0},
    {1018, K::CheckBox, "VLAN tagged mode", 0, 0},
    {1019, K::CheckBox, "Drop large packets", 0, 0},
    {1020, K::CheckBox, "Ping timeout restart", 0, 0},
    {1022, K::CheckBox, "Trellim control mode*", 0, 0},
    {1023, K::CheckBox, "Secondary RST pin", 0, 0},
    {1024, K::CheckBox, "P6 Analog mode*", 0, 0},
    {1047, K::PushButton, "Set Modes", DIS, 0},
    {1027, K::PushButton, "Restart", 0, 0},
    {1028, K::PushButton, "Trellim\nConfiguration", DIS, 0},
    {1034, K::GroupBox, "IP Core Settings", 0, 0},
    {1005, K::StatusLine, "", 0, 0},
    {1006, K::Static, "IP", 0, 0},
    {1008, K::Edit, "", RO, 0},
    {1012, K::Static, "MACLock1", 0, 0},
    {1039, K::Static, "MACLock2", 0, 0},
    {1036, K::Static, "Ping Restart (min)", 0, 0},
    {1040, K::Static, "VLAN tag", 0, 0},
    {1025, K::Edit, "", RO, 0},
    {1035, K::Static, "* - Restart Nubrel after change", 0, 0},
    {-1, K::GroupBox, "Operating Modes", 0, 0},
    {1030, K::PushButton, "Trellim\n    Status", DIS, 0},
    {1026, K::CheckBox, "Save I/O states", 0, 0},
    {1021, K::Edit, "", RO, 0},
    {1080, K::PushButton, "Set", DIS, 0},
    {1038, K::Static, "Ping Restarts Count", 0, 0},
    {1031, K::CheckBox, "Ping LED (P3.3)", 0, 0},
    {1032, K::CheckBox, "I/O reset at Ping Restart", 0, 0},
    {1033, K::Edit, "", RO, 0},
    {1081, K::PushButton, "Set", DIS, 0},
    {1082, K::Static, "Restart Pulse Width (x42ms)", 0, 0},
    {1083, K::CheckBox, "", 0, 0},
    {1084, K::CheckBox, "", 0, 0},
    {1085, K::CheckBox, "", 0, 0},
    {1086, K::CheckBox, "", 0, 0},
    {1087, K::CheckBox, "", 0, 0},
    {1009, K::IpAddress, "", DIS, 0},
    {1088, K::PushButton, "Set", DIS, 0},
    {1089, K::Static, "Network\nMask", 0, 0},
    {1090, K::IpAddress, "", DIS, 0},
    {1091, K::PushButton, "Set", DIS, 0},
    {1092, K::Static, "Gateway", 0, 0},
    {1093, K::IpAddress, "", DIS, 0},
    {1094, K::PushButton, "Set", DIS, 0},
    {1095, K::Static, "TFTP\nServer", 0, 0},
    {1096, K::IpAddress, "", DIS, 0},
    {1097, K::PushButton, "Set", DIS, 0},
    {1098, K::Static, "Monitor\nIP", 0, 0},
    {1100, K::PushButton, "SNMP\nTraps", DIS, 0},
    {1101, K::PushButton, "Firmware Update", DIS, 0},
    {1103, K::PushButton, "Change R/O Pass", DIS, 0},
    {1099, K::Static, "MAC address", 0, 0},
    {1105, K::IpAddress, "", 0, 0},
    {1106, K::Static, "IP Address", 0, 0},
    {1107, K::PushButton, "I/O ports", 0, 0},
    {1108, K::PushButton, "Target\nrestart", 0, 0},
    {1109, K::Edit, "", 0, 12},
    {1110, K::Static, "SNMP R/W Pass", 0, 0},
    {1111, K::Edit, "", 0, 12},
    {1112, K::Static, "SNMP R/O Pass", 0, 0},
    {-1, K::Static, "Version", 0, 0},
    {-1, K::GroupBox, "IP module access parameters", 0, 0},
    {1283, K::PushButton, "MAC Search", DIS, 0},
    {1113, K::PushButton, "RS-232", DIS, 0},
    {1013, K::IpAddress, "", DIS, 0},
    {1048, K::PushButton, "Set", DIS, 0},
    {1029, K::Static, "Access IP", 0, 0},
    {1037, K::IpAddress, "", DIS, 0},
    {1102, K::PushButton, "Set", DIS, 0},
    {1104, K::Static, "Access Mask", 0, 0},
};

const std::vector<Expected> kAboutTable = {
    {128, K::Icon, "", 0, 0},
    {-1, K::Static, "Nubrel/Ferlox SNMP Control Interface", 0, 0},
    {1, K::DefPushButton, "OK", 0, 0},
};

const std::vector<Expected> kCommunityTable = {
    {1, K::DefPushButton, "Change", 0, 0},
    {2, K::PushButton, "Cancel", 0, 0},
    {1263, K::Edit, "", PW, 12},
    {1264, K::Edit, "", PW, 12},
    {-1, K::Static, "New Community string\n(4 to 12 characters)", 0, 0},
    {-1, K::Static, "Re-type new community string", 0, 0},
};

// The longest captions the main window gives its controls after a version
// read; each must fit as well as the template's own caption.
const std::map<int, std::vector<const char*>> kRunTimeCaptions = {
    {1016, {"Nubrel settings SNMP access"}},
    {1019, {"N/A"}},
    {1022, {"Trellim control mode"}},
    {1023, {"Restart target on timeout", "N/A"}},
    {1024, {"RS-232 Enabled", "N/A"}},
    {1026, {"N/A"}},
    {1031, {"Ping LED enable", "N/A"}},
    {1032, {"N/A"}},
    {1082, {"Restart Pulse Width (x0.25s)"}},
    {1083, {"TFTP enabled", "N/A"}},
    {1084, {"DHCP client enabled"}},
    {1085, {"Remote ping restart"}},
    {1086, {"WEB Server enabled"}},
    {1087, {"Restart switch on timeout"}},
};

QString Caption(const char* text)
{
    return QString::fromLatin1(text ? text : "");
}

QRect Area(const ControlSpec& control)
{
    return QRect(control.x, control.y, control.cx, control.cy);
}

QString Describe(const ControlSpec& control)
{
    return QStringLiteral("%1 \"%2\"").arg(control.id).arg(Caption(control.caption));
}

bool Contains(const QRect& outer, const QRect& inner)
{
    return outer.contains(inner.topLeft()) && outer.contains(inner.bottomRight());
}

// Compares a template with its expected table entry by entry.
void CheckControls(const DialogTemplate& tpl, const std::vector<Expected>& expected)
{
    QCOMPARE(tpl.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ControlSpec& actual = tpl.controls[i];
        const Expected& want = expected[i];
        const QByteArray where
            = QByteArray("control #") + QByteArray::number(int(i)) + " (" + Describe(actual).toLatin1() + ")";
        QVERIFY2(actual.id == want.id, where + " has the wrong id");
        QVERIFY2(actual.kind == want.kind, where + " has the wrong kind");
        QVERIFY2(Caption(actual.caption) == Caption(want.caption), where + " has the wrong caption");
        QVERIFY2((actual.style & kStateBits) == want.state, where + " has the wrong initial state");
        QVERIFY2(actual.limit == want.limit, where + " has the wrong limit");
    }
}

// Everything inside the window and no two controls on top of each other; a
// control that touches a group box lies wholly inside it.
void CheckLayout(const DialogTemplate& tpl)
{
    const QRect window(0, 0, tpl.cx, tpl.cy);
    for (size_t i = 0; i < tpl.controls.size(); ++i) {
        const ControlSpec& a = tpl.controls[i];
        QVERIFY2(a.cx > 0 && a.cy > 0, qPrintable(Describe(a) + " has no size"));
        QVERIFY2(Contains(window, Area(a)), qPrintable(Describe(a) + " sticks out of the window"));
        if (Caption(a.caption).contains('\n'))
            QVERIFY2(a.cy >= 16, qPrintable(Describe(a) + " is too low for two lines"));
        for (size_t j = i + 1; j < tpl.controls.size(); ++j) {
            const ControlSpec& b = tpl.controls[j];
            if (!Area(a).intersects(Area(b)))
                continue;
            const bool aFrames = a.kind == K::GroupBox && b.kind != K::GroupBox && Contains(Area(a), Area(b));
            const bool bFrames = b.kind == K::GroupBox && a.kind != K::GroupBox && Contains(Area(b), Area(a));
            QVERIFY2(aFrames || bFrames, qPrintable(Describe(a) + " overlaps " + Describe(b)));
        }
    }
}

// The direct child of `dialog` that holds `widget`.
QWidget* ControlOf(QWidget* dialog, QWidget* widget)
{
    while (widget && widget->parentWidget() != dialog)
        widget = widget->parentWidget();
    return widget;
}

bool TakesTabFocus(QWidget* control)
{
    if (control->focusPolicy() & Qt::TabFocus)
        return true;
    const auto inner = control->findChildren<QWidget*>();
    return std::any_of(inner.begin(), inner.end(), [](QWidget* w) { return w->focusPolicy() & Qt::TabFocus; });
}

// Widest line of a caption in the widget's font.
int TextWidth(const QWidget* widget, const QString& caption)
{
    int widest = 0;
    for (const QString& line : caption.split('\n'))
        widest = std::max(widest, widget->fontMetrics().horizontalAdvance(line));
    return widest;
}

// Room the widget leaves for its caption.
QSize CaptionRoom(QWidget* widget)
{
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
    }
    if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(check);
        return check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check).size();
    }
    return widget->contentsRect().size();
}

void CheckCaptionFits(QWidget* widget, const QString& caption)
{
    const QSize room = CaptionRoom(widget);
    const int lines = caption.count('\n') + 1;
    const QString what = widget->objectName() + " \"" + caption + "\"";
    QVERIFY2(TextWidth(widget, caption) <= room.width(), qPrintable(what + " is cut at the side"));
    QVERIFY2(lines * widget->fontMetrics().height() <= room.height() + 1, qPrintable(what + " is cut at the bottom"));
}

// Text of a label or button; empty for other controls.
QString CaptionOf(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    return QString();
}

}  // namespace

class TestWinTemplates : public QObject {
    Q_OBJECT
private slots:
    void windowsHaveTheirSizeAndCaption();
    void controlsFollowTheTables();
    void layoutHasNoOverlaps_data();
    void layoutHasNoOverlaps();
    void communityWindowPlacesButtonsBelowTheEntries();
    void builtWindowHasEveryControlOnce_data();
    void builtWindowHasEveryControlOnce();
    void tabOrderIsTemplateOrder_data();
    void tabOrderIsTemplateOrder();
    void captionsFitTheirControls_data();
    void captionsFitTheirControls();
    void runTimeCaptionsFitTheMainWindow();
    void iconHasBothSizes();
};

void TestWinTemplates::windowsHaveTheirSizeAndCaption()
{
    const DialogTemplate& main = MainDlgTemplate();
    QCOMPARE(main.id, 102);
    QCOMPARE(QSize(main.cx, main.cy), QSize(292, 386));
    QCOMPARE(Caption(main.caption), QString());
    QVERIFY(main.minimizeBox);

    const DialogTemplate& about = AboutDlgTemplate();
    QCOMPARE(about.id, 100);
    QCOMPARE(QSize(about.cx, about.cy), QSize(232, 47));

    const DialogTemplate& community = CommunityDlgTemplate();
    QCOMPARE(community.id, 136);
    QCOMPARE(QSize(community.cx, community.cy), QSize(162, 76));
    QCOMPARE(Caption(community.caption), QStringLiteral("Change R/W Community String"));
}

void TestWinTemplates::controlsFollowTheTables()
{
    CheckControls(MainDlgTemplate(), kMainTable);
    CheckControls(AboutDlgTemplate(), kAboutTable);
    CheckControls(CommunityDlgTemplate(), kCommunityTable);
}

namespace {
void AddTemplateRows()
{
    QTest::addColumn<int>("which");
    QTest::newRow("main window") << 0;
    QTest::newRow("About box") << 1;
    QTest::newRow("change community") << 2;
}

const DialogTemplate& TemplateNumber(int which)
{
    using Getter = const DialogTemplate& (*)();
    static const Getter getters[] = {MainDlgTemplate, AboutDlgTemplate, CommunityDlgTemplate};
    return getters[which]();
}
}  // namespace

void TestWinTemplates::layoutHasNoOverlaps_data()
{
    AddTemplateRows();
}

void TestWinTemplates::layoutHasNoOverlaps()
{
    QFETCH(int, which);
    CheckLayout(TemplateNumber(which));
}

void TestWinTemplates::communityWindowPlacesButtonsBelowTheEntries()
{
    std::map<int, QRect> byId;
    std::vector<QRect> labels;
    for (const ControlSpec& control : CommunityDlgTemplate().controls) {
        if (control.id == IDC_STATIC)
            labels.push_back(Area(control));
        else
            byId[control.id] = Area(control);
    }
    const QRect change = byId[IDOK], cancel = byId[IDCANCEL];
    const QRect first = byId[1263], second = byId[1264];
    QVERIFY(change.right() < cancel.left());
    QVERIFY(change.top() > second.bottom() && cancel.top() > second.bottom());
    QVERIFY(first.bottom() < second.top());
    QCOMPARE(labels.size(), size_t(2));
    for (size_t row = 0; row < labels.size(); ++row) {
        const QRect entry = row == 0 ? first : second;
        QVERIFY(labels[row].right() < entry.left());
        QVERIFY(labels[row].top() <= entry.bottom() && labels[row].bottom() >= entry.top());
    }
}

void TestWinTemplates::builtWindowHasEveryControlOnce_data()
{
    AddTemplateRows();
}

void TestWinTemplates::builtWindowHasEveryControlOnce()
{
    QFETCH(int, which);
    const DialogTemplate& tpl = TemplateNumber(which);
    QDialog dialog;
    BuildDialog(&dialog, tpl);
    for (const ControlSpec& control : tpl.controls) {
        if (control.id == IDC_STATIC)
            continue;
        const auto found = dialog.findChildren<QWidget*>(QString::number(control.id), Qt::FindDirectChildrenOnly);
        QVERIFY2(found.size() == 1, qPrintable(Describe(control) + " is not built exactly once"));
        QWidget* widget = found.front();
        QCOMPARE(widget->isEnabled(), !(control.style & WS_DISABLED));
        if (control.kind == K::IpAddress)
            QVERIFY(qobject_cast<CIPAddressCtrl*>(widget));
        if (control.kind != K::Edit)
            continue;
        auto* edit = qobject_cast<QLineEdit*>(widget);
        QVERIFY2(edit, qPrintable(Describe(control) + " is no line edit"));
        QCOMPARE(edit->isReadOnly(), bool(control.style & ES_READONLY));
        QCOMPARE(edit->echoMode() == QLineEdit::Password, bool(control.style & ES_PASSWORD));
        if (control.limit > 0)
            QCOMPARE(edit->maxLength(), control.limit);
    }
}

void TestWinTemplates::tabOrderIsTemplateOrder_data()
{
    AddTemplateRows();
}

void TestWinTemplates::tabOrderIsTemplateOrder()
{
    QFETCH(int, which);
    const DialogTemplate& tpl = TemplateNumber(which);
    QDialog dialog;
    BuildDialog(&dialog, tpl);

    QStringList expected;
    for (const ControlSpec& control : tpl.controls) {
        QWidget* widget = dialog.findChild<QWidget*>(QString::number(control.id), Qt::FindDirectChildrenOnly);
        if (control.id != IDC_STATIC && widget && TakesTabFocus(widget))
            expected << widget->objectName();
    }
    QStringList chain;
    for (QWidget* w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain()) {
        QWidget* control = ControlOf(&dialog, w);
        if (control && TakesTabFocus(control) && !chain.contains(control->objectName()))
            chain << control->objectName();
    }
    QCOMPARE(chain, expected);
}

void TestWinTemplates::captionsFitTheirControls_data()
{
    AddTemplateRows();
}

void TestWinTemplates::captionsFitTheirControls()
{
    QFETCH(int, which);
    QDialog dialog;
    BuildDialog(&dialog, TemplateNumber(which));
    int checked = 0;
    for (QWidget* widget : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QString caption = CaptionOf(widget);
        if (caption.isEmpty())
            continue;
        CheckCaptionFits(widget, caption);
        if (QTest::currentTestFailed())
            return;
        ++checked;
    }
    QVERIFY(checked > 0);
}

void TestWinTemplates::runTimeCaptionsFitTheMainWindow()
{
    QDialog dialog;
    BuildDialog(&dialog, MainDlgTemplate());
    for (const auto& [id, captions] : kRunTimeCaptions) {
        QWidget* widget = dialog.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
        QVERIFY2(widget, qPrintable(QString::number(id)));
        for (const char* caption : captions) {
            CheckCaptionFits(widget, Caption(caption));
            if (QTest::currentTestFailed())
                return;
        }
    }
}

void TestWinTemplates::iconHasBothSizes()
{
    const QIcon icon = AppIcon();
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY(sizes.contains(QSize(32, 32)));
    QVERIFY(sizes.contains(QSize(16, 16)));
    for (const QSize& size : {QSize(32, 32), QSize(16, 16)}) {
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), size);
        // Drawn, not blank, and not a filled square: the corners stay clear.
        QVERIFY(qAlpha(image.pixel(size.width() / 2, size.height() / 2)) > 0);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }
}

QTEST_MAIN(TestWinTemplates)
#include "test_win_templates.moc"
