// The window templates: a layout without overlaps that stays inside its
// window; and the built widgets, each id once, with template order as tab
// order. Every window as the program opens it, at the default font, two
// points larger and at 20 points (CTest runs this again at QT_SCALE_FACTOR
// 1.5 and 3): no caption, heading, list entry or shown value is cut, the
// status line shows its text whole, each list its widest row.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionViewItem>
#include <QtTest>
#include <algorithm>
#include <map>
#include <vector>

#include "app/LaunchTable.h"
#include "core/AboutDlg.h"
#include "core/ApplySettingsDlg.h"
#include "core/CommunityDlg.h"
#include "core/FindModulesDlg.h"
#include "settings/FeatureLevels.h"
#include "core/MainDlg.h"
#include "platform/DialogBuilder.h"
#include "platform/DialogTemplate.h"
#include "platform/IpAddressCtrl.h"
#include "platform/ReportList.h"
#include "platform/ScreenAreas.h"
#include "platform/StatusLine.h"
#include "res/AboutDlgTemplate.h"
#include "res/ApplySettingsDlgIds.h"
#include "res/ApplySettingsDlgTemplate.h"
#include "res/AppIcon.h"
#include "res/CommunityDlgTemplate.h"
#include "res/FindModulesDlgIds.h"
#include "res/FindModulesDlgTemplate.h"
#include "res/IoPortsDlgTemplate.h"
#include "res/MacTableDlgTemplate.h"
#include "res/PortStatusDlgTemplate.h"
#include "res/SerialDlgTemplate.h"
#include "res/SwitchDlgTemplate.h"
#include "res/MainDlgIds.h"
#include "res/MainDlgTemplate.h"
#include "res/TrapDlgTemplate.h"
#include "res/MacTableDlgIds.h"
#include "snmp/SnmpRequest.h"
#include "support/TestEnvironment.h"
#include "switch/MacTableDlg.h"

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
    if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(widget);
        const bool check = qobject_cast<QCheckBox*>(widget);
        const auto element = check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
        return widget->style()->subElementRect(element, &option, widget).size();
    }
    if (qobject_cast<QGroupBox*>(widget))  // the title, with room for the frame on either side
        return QSize(widget->width() - 16, widget->fontMetrics().height());
    return widget->contentsRect().size();
}

void CheckCaptionFits(QWidget* widget, const QString& caption)
{
    const QSize room = CaptionRoom(widget);
    const int lines = caption.count('\n') + 1;
    const QString what = widget->objectName() + " \"" + caption + "\"";
    QVERIFY2(TextWidth(widget, caption) <= room.width(),
        qPrintable(what + QStringLiteral(" is cut at the side (%1 of %2 pixels)").arg(TextWidth(widget, caption)).arg(room.width())));
    QVERIFY2(lines * widget->fontMetrics().height() <= room.height() + 1, qPrintable(what + " is cut at the bottom"));
}

// Text of a label, button or group box; empty for other controls. The status
// line wraps and is checked on its own.
QString CaptionOf(const QWidget* widget)
{
    if (qobject_cast<const CStatusLine*>(widget))
        return QString();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* box = qobject_cast<const QGroupBox*>(widget))
        return box->title();
    return QString();
}

// Text room of a line edit: inside its frame and the edit's own margins.
int EditRoom(const QLineEdit* edit)
{
    const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) : 0;
    const QMargins margins = edit->textMargins();
    return edit->width() - 2 * frame - 4 - margins.left() - margins.right();
}

// The longest value a line edit takes: its text, a full MAC address in a
// field of 17 characters, or else its limit in digits (fields of up to 12
// characters: numbers and community strings).
void CheckEditShowsValue(const QLineEdit* edit)
{
    QString value = edit->text();
    if (edit->maxLength() == 17)
        value = QStringLiteral("00:1A:2B:3C:4D:5E");
    else if (edit->maxLength() <= 12)
        value = QString(edit->maxLength(), QLatin1Char('0'));
    if (edit->echoMode() == QLineEdit::Password)
        value.fill(QChar(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit)));
    const QString what = edit->parentWidget()->objectName() + "/" + edit->objectName() + " \"" + value + "\"";
    const int width = edit->fontMetrics().horizontalAdvance(value);
    QVERIFY2(width <= EditRoom(edit), qPrintable(what + QStringLiteral(" is cut (%1 of %2 pixels)").arg(width).arg(EditRoom(edit))));
}

void CheckComboShowsItems(QComboBox* combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    const int room
        = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width() - 4;
    for (int i = 0; i < combo->count(); ++i)
        QVERIFY2(combo->fontMetrics().horizontalAdvance(combo->itemText(i)) <= room,
            qPrintable(combo->objectName() + " \"" + combo->itemText(i) + "\" is cut"));
}

// Width the widest entry of a column asks of the list.
int EntriesWidth(const CReportList* list, int column)
{
    QStyleOptionViewItem option;
    option.initFrom(list);
    int widest = 0;
    for (int row = 0; row < list->GetItemCount(); ++row)
        widest = std::max(widest, list->itemDelegate()->sizeHint(option, list->model()->index(row, column)).width());
    return widest;
}

// The list is wide enough for all its columns, each as wide as its heading
// and its widest entry.
void CheckListShowsColumns(CReportList* list)
{
    QCoreApplication::processEvents();  // the view lays its columns out when it next gets there
    int total = 0;
    for (int column = 0; column < list->columnCount(); ++column) {
        const int needed = std::max(EntriesWidth(list, column), list->header()->sectionSizeHint(column));
        QVERIFY2(list->columnWidth(column) >= needed,
            qPrintable(list->objectName() + " column \"" + list->ColumnHeading(column) + "\" is cut"));
        total += list->columnWidth(column);
    }
    QVERIFY2(total <= list->viewport()->width(), qPrintable(list->objectName() + " is narrower than its columns"));
}

// The whole text within the status line's lines, and as its tool tip.
void CheckStatusShowsText(const CStatusLine* line)
{
    const QRect room = line->contentsRect();
    const QRect needed = line->fontMetrics().boundingRect(room, Qt::TextWordWrap, line->text());
    const QString what = "status line \"" + line->text() + "\"";
    QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(), qPrintable(what + " is cut"));
    QCOMPARE(line->toolTip(), line->text());
}

// Every control of a built window shows its caption, value or entries whole.
void CheckNothingCut(QWidget* window)
{
    for (QWidget* widget : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QString caption = CaptionOf(widget);
        if (!caption.isEmpty())
            CheckCaptionFits(widget, caption);
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            CheckEditShowsValue(edit);
        if (auto* address = qobject_cast<CIPAddressCtrl*>(widget))
            for (QLineEdit* field : address->findChildren<QLineEdit*>())
                QVERIFY2(field->fontMetrics().horizontalAdvance("255") <= field->width() - 4,
                    qPrintable(address->objectName() + " is too narrow for 255.255.255.255"));
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            CheckComboShowsItems(combo);
        if (auto* list = qobject_cast<CReportList*>(widget))
            CheckListShowsColumns(list);
        if (auto* line = qobject_cast<CStatusLine*>(widget))
            CheckStatusShowsText(line);
    }
}

// The three font settings every window is checked at.
struct FontSetting {
    const char* name;
    int pointsLarger;
    int pointSize;  // 0: the default size (plus pointsLarger)
};
const FontSetting kFontSettings[] = {
    {"default font", 0, 0},
    {"font 2 points larger", 2, 0},
    {"20-point font", 0, 20},
};

// Sets the application font for as long as it lives.
class FontScope {
public:
    explicit FontScope(const FontSetting& setting) : m_saved(QApplication::font())
    {
        QFont font = m_saved;
        font.setPointSize(setting.pointSize ? setting.pointSize : m_saved.pointSize() + setting.pointsLarger);
        QApplication::setFont(font);
    }
    ~FontScope() { QApplication::setFont(m_saved); }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

private:
    QFont m_saved;
};

// Screen areas of a test's own for as long as it lives.
struct ScreenAreasScope {
    explicit ScreenAreasScope(const QList<QRect>& areas) { SetScreenAreasForTest(areas); }
    ~ScreenAreasScope() { SetScreenAreasForTest({}); }
    ScreenAreasScope(const ScreenAreasScope&) = delete;
    ScreenAreasScope& operator=(const ScreenAreasScope&) = delete;
};

// No exchange happens while a window opens; should one, it goes to a closed
// loopback port.
const SubWindowArgs kArgs {QStringLiteral("127.0.0.1"), QStringLiteral("marbled"), QStringLiteral("582019374620")};

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
    // Nothing answers the reads some windows make as they open (no module is
    // simulated here): their time-out is made short rather than waited out.
    void initTestCase()
    {
        TestEnvironment::Init();
        CSnmpRequest::SetTimeoutOverride(50 * 1000);
    }
    void nothingIsCut_data();
    void nothingIsCut();
    void listShowsItsWidestRow_data();
    void listShowsItsWidestRow();
    void smallScreenScrollsToEveryControl_data();
    void smallScreenScrollsToEveryControl();
    void runTimeCaptionsFitTheMainWindow_data();
    void runTimeCaptionsFitTheMainWindow();
    void iconHasBothSizes();
};

void TestWinTemplates::windowsHaveTheirSizeAndCaption()
{
    const DialogTemplate& main = MainDlgTemplate();
    QCOMPARE(main.id, 102);
    QCOMPARE(QSize(main.cx, main.cy), QSize(292, 392));
    QCOMPARE(Caption(main.caption), QString());
    QVERIFY(main.minimizeBox);

    const DialogTemplate& about = AboutDlgTemplate();
    QCOMPARE(about.id, 100);
    QCOMPARE(QSize(about.cx, about.cy), QSize(232, 47));

    const DialogTemplate& community = CommunityDlgTemplate();
    QCOMPARE(community.id, 136);
    QCOMPARE(QSize(community.cx, community.cy), QSize(208, 76));
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
    {"find modules", FindModulesDlgTemplate},
    {"apply module settings", ApplySettingsDlgTemplate},
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

namespace {
// The preview of an apply with the module's own address among its rows
// (the note on it shows).
std::unique_ptr<CDialog> MakeApplyPreview()
{
    return std::make_unique<CApplySettingsDlg>(QStringLiteral("/srv/kalvor/module-10.0.0.7.txt"),
        std::vector<SettingDifference> {{"ip", QStringLiteral("IP"), QStringLiteral("10.0.0.7"),
                                            QStringLiteral("255.255.255.254")},
            {"switch.reg013", QStringLiteral("register 13: Port 0: VLAN index"), QStringLiteral("0x00"),
                QStringLiteral("0x0F")}});
}

// The eleven windows as the program makes them: the five of the main
// window's own, then the rows of its launch table.
using WindowMaker = std::unique_ptr<CDialog> (*)();
const WindowMaker kOwnWindows[] = {
    [] { return std::unique_ptr<CDialog>(std::make_unique<CMainDlg>(KalvorLaunchTable())); },
    [] { return std::unique_ptr<CDialog>(std::make_unique<CAboutDlg>()); },
    [] { return std::unique_ptr<CDialog>(std::make_unique<CCommunityDlg>(QStringLiteral("Change R/W Community String"))); },
    [] {
        return std::unique_ptr<CDialog>(
            std::make_unique<CFindModulesDlg>(QStringLiteral("172.16.100.2"), QStringLiteral("582019374620"), nullptr));
    },
    MakeApplyPreview,
};
constexpr int kOwnCount = int(std::size(kOwnWindows));

void AddFontRows(bool withWindows)
{
    QTest::addColumn<int>("font");
    QTest::addColumn<int>("window");
    const int windows = withWindows ? kOwnCount + int(KalvorLaunchTable().size()) : 1;
    for (int font = 0; font < int(std::size(kFontSettings)); ++font)
        for (int window = 0; window < windows; ++window)
            QTest::addRow("%s, window %d", kFontSettings[font].name, window) << font << window;
}

std::unique_ptr<CDialog> OpenWindow(int window)
{
    std::unique_ptr<CDialog> dialog
        = window < kOwnCount ? kOwnWindows[window]() : KalvorLaunchTable()[size_t(window - kOwnCount)].factory(kArgs);
    dialog->Create();
    return dialog;
}
}  // namespace

void TestWinTemplates::nothingIsCut_data() { AddFontRows(true); }

// The main window's status line holds the start-up text here.
void TestWinTemplates::nothingIsCut()
{
    QFETCH(int, font);
    QFETCH(int, window);
    const FontScope scope(kFontSettings[font]);
    const std::unique_ptr<CDialog> dialog = OpenWindow(window);
    CheckNothingCut(dialog->Page());
}

void TestWinTemplates::smallScreenScrollsToEveryControl_data()
{
    QTest::addColumn<int>("window");
    for (int window = 0; window < kOwnCount + int(KalvorLaunchTable().size()); ++window)
        QTest::addRow("window %d", window) << window;
}

// A window larger than the screen's free area fits in it and scrolls; its
// controls keep their places, and scrolling to each one shows it whole (or
// as much of it as the window holds). Each window opens once (the windows
// that read the module at their start wait for it) and is shown on each area.
void TestWinTemplates::smallScreenScrollsToEveryControl()
{
    struct Case {
        const char* name;
        double widthShare, heightShare;  // of the free area to the window's full size
        bool across, down;  // scroll bars expected
    };
    static const Case kCases[] = {
        {"smaller both ways", 0.5, 0.6, true, true},
        {"too low only", 2.0, 0.6, false, true},
        {"too narrow only", 0.5, 2.0, true, false},
        {"room enough", 2.0, 2.0, false, false},
    };
    QFETCH(int, window);
    const std::unique_ptr<CDialog> dialog = OpenWindow(window);
    const QSize full = dialog->size();
    QScrollArea* scroll = dialog->ScrollArea();
    const QWidget* viewport = scroll->viewport();
    for (const Case& test : kCases) {
        const QRect area(50, 30, int(full.width() * test.widthShare), int(full.height() * test.heightShare));
        const ScreenAreasScope screens({area});
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCoreApplication::processEvents();  // the scroll bars show or hide by a queued call
        const QString what = QString::fromLatin1(test.name) + ": ";
        QCOMPARE(dialog->Page()->size(), full);
        QVERIFY2(dialog->frameGeometry().width() <= area.width() && dialog->frameGeometry().height() <= area.height(),
            qPrintable(what + "the window does not fit"));
        QVERIFY2(scroll->horizontalScrollBar()->isVisible() == test.across, qPrintable(what + "horizontal bar"));
        QVERIFY2(scroll->verticalScrollBar()->isVisible() == test.down, qPrintable(what + "vertical bar"));
        QVERIFY2(test.across || test.down || dialog->size() == full, qPrintable(what + "the window is not its page"));
        for (QWidget* control : dialog->Page()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control->isHidden())
                continue;
            scroll->horizontalScrollBar()->setValue(control->x());
            scroll->verticalScrollBar()->setValue(control->y());
            const QRect inView(control->mapTo(viewport, QPoint()), control->size());
            QVERIFY2(inView.intersected(viewport->rect()).size() == control->size().boundedTo(viewport->size()),
                qPrintable(what + control->objectName() + " cannot be brought into view"));
        }
        dialog->hide();
    }
}

namespace {
// The windows with a list, each with the widest row it shows.
struct ListRow {
    const char* name;
    std::unique_ptr<CDialog> (*make)();
    int list;
    QStringList row;
};
const ListRow kListRows[] = {
    {"MAC table", [] { return MakeFactory<CMacTableDlg>()(kArgs); }, IDC_MAC_RESULTS,
        {"00-1A-2B-3C-4D-5E", "8", "300"}},
    {"find modules",
        [] {
            return std::unique_ptr<CDialog>(std::make_unique<CFindModulesDlg>(kArgs.moduleIp, kArgs.roCommunity, nullptr));
        },
        IDC_FIND_LIST, {"255.255.255.255", "4.079", "00 0A 1B 2C 3D 4E", "unknown"}},
    {"apply module settings", MakeApplyPreview, IDC_APPLY_LIST,
        {"serial.receive_timeout", "00 0A 1B 2C 3D 4E", "00 0A 1B 2C 3D 4E", "register 13: Port 0: VLAN index"}},
};
}  // namespace

void TestWinTemplates::listShowsItsWidestRow_data()
{
    QTest::addColumn<int>("font");
    QTest::addColumn<int>("which");
    for (int font = 0; font < int(std::size(kFontSettings)); ++font)
        for (int which = 0; which < int(std::size(kListRows)); ++which)
            QTest::addRow("%s, %s", kListRows[which].name, kFontSettings[font].name) << font << which;
}

void TestWinTemplates::listShowsItsWidestRow()
{
    QFETCH(int, font);
    QFETCH(int, which);
    const FontScope scope(kFontSettings[font]);
    const ListRow& shown = kListRows[which];
    const auto dialog = shown.make();
    dialog->Create();
    auto* list = dialog->Item<CReportList>(shown.list);
    const int row = list->InsertItem(QString());
    for (int column = 0; column < shown.row.size(); ++column)
        list->SetItemText(row, column, shown.row[column]);
    CheckListShowsColumns(list);
    QVERIFY(list->columnWidth(0) >= list->fontMetrics().horizontalAdvance(shown.row[0]));
}

void TestWinTemplates::runTimeCaptionsFitTheMainWindow_data() { AddFontRows(false); }

void TestWinTemplates::runTimeCaptionsFitTheMainWindow()
{
    QFETCH(int, font);
    const FontScope scope(kFontSettings[font]);
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
        const QImage image = icon.pixmap(size, 1.0).toImage();  // at any scale factor
        QCOMPARE(image.size(), size);
        // Drawn, not blank, and not a filled square: the corners stay clear.
        QVERIFY(qAlpha(image.pixel(size.width() / 2, size.height() / 2)) > 0);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }
}

QTEST_MAIN(TestWinTemplates)
#include "test_win_templates.moc"
