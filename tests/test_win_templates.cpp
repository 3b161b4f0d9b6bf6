// The window templates: a layout without overlaps that stays inside its
// window; captions that fit their controls, including every caption the main
// window gives its controls at run time; and the built widgets, each id once,
// with template order as tab order.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QStyleOptionButton>
#include <QtTest>
#include <algorithm>
#include <map>
#include <vector>

#include "core/FeatureLevels.h"
#include "platform/DialogBuilder.h"
#include "platform/DialogTemplate.h"
#include "platform/IpAddressCtrl.h"
#include "res/AboutDlgTemplate.h"
#include "res/AppIcon.h"
#include "res/CommunityDlgTemplate.h"
#include "res/IoPortsDlgTemplate.h"
#include "res/MacTableDlgTemplate.h"
#include "res/PortStatusDlgTemplate.h"
#include "res/SerialDlgTemplate.h"
#include "res/SwitchDlgTemplate.h"
#include "res/MainDlgIds.h"
#include "res/MainDlgTemplate.h"
#include "res/TrapDlgTemplate.h"

namespace {

using K = ControlKind;

// Every caption the main window gives a control after a version read, from
// the same layout table the window applies.
std::map<int, std::vector<QString>> RunTimeCaptions()
{
    std::map<int, std::vector<QString>> captions;
    for (int major : {4, 5}) {
        for (int minor = 40; minor < 256; ++minor) {
            const Layout layout = LayoutFor(FirmwareVersion {uint8_t(major), uint8_t(minor)});
            for (const ControlChange& change : layout.changes)
                if (change.caption)
                    captions[change.id].push_back(QString::fromLatin1(change.caption));
            captions[IDC_PULSE_WIDTH_LABEL].push_back(QString::fromLatin1(layout.pulseWidthLabel));
        }
    }
    return captions;
}

QString Caption(const char* text) { return QString::fromLatin1(text ? text : ""); }

QRect Area(const ControlSpec& control) { return QRect(control.x, control.y, control.cx, control.cy); }

QString Describe(const ControlSpec& control)
{
    return QStringLiteral("%1 \"%2\"").arg(control.id).arg(Caption(control.caption));
}

bool Contains(const QRect& outer, const QRect& inner)
{
    return outer.contains(inner.topLeft()) && outer.contains(inner.bottomRight());
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

namespace {
struct TemplateRow {
    const char* name;
    const DialogTemplate& (*get)();
};
const TemplateRow kTemplates[] = {
    {"main window", MainDlgTemplate},
    {"About box", AboutDlgTemplate},
    {"change community", CommunityDlgTemplate},
    {"I/O ports", IoPortsDlgTemplate},
    {"switch settings", SwitchDlgTemplate},
    {"port status", PortStatusDlgTemplate},
    {"MAC table", MacTableDlgTemplate},
    {"serial bridge", SerialDlgTemplate},
    {"trap settings", TrapDlgTemplate},
};

void AddTemplateRows()
{
    QTest::addColumn<int>("which");
    for (int i = 0; i < int(std::size(kTemplates)); ++i)
        QTest::newRow(kTemplates[i].name) << i;
}

const DialogTemplate& TemplateNumber(int which) { return kTemplates[which].get(); }
}  // namespace

void TestWinTemplates::layoutHasNoOverlaps_data() { AddTemplateRows(); }

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

void TestWinTemplates::builtWindowHasEveryControlOnce_data() { AddTemplateRows(); }

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
        if (control.kind != K::Edit || (control.style & ES_MULTILINE))
            continue;
        auto* edit = qobject_cast<QLineEdit*>(widget);
        QVERIFY2(edit, qPrintable(Describe(control) + " is no line edit"));
        QCOMPARE(edit->isReadOnly(), bool(control.style & ES_READONLY));
        QCOMPARE(edit->echoMode() == QLineEdit::Password, bool(control.style & ES_PASSWORD));
        if (control.limit > 0)
            QCOMPARE(edit->maxLength(), control.limit);
    }
}

void TestWinTemplates::tabOrderIsTemplateOrder_data() { AddTemplateRows(); }

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

void TestWinTemplates::captionsFitTheirControls_data() { AddTemplateRows(); }

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
        // The switch window keeps its template's sizes: a check box or radio
        // caption cut there must at least show whole as its tool tip.
        const bool box = qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget);
        if (&TemplateNumber(which) == &SwitchDlgTemplate() && box && widget->toolTip() == caption) {
            ++checked;
            continue;
        }
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
    for (const auto& [id, captions] : RunTimeCaptions()) {
        QWidget* widget = dialog.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
        QVERIFY2(widget, qPrintable(QString::number(id)));
        for (const QString& caption : captions) {
            CheckCaptionFits(widget, caption);
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
