#include "platform/DialogBuilder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

#include "platform/DialogUnits.h"
#include "platform/IpAddressCtrl.h"
#include "platform/LimitedTextEdit.h"
#include "platform/ReportList.h"
#include "platform/StatusLine.h"
#include "platform/TabBar.h"

namespace {

// What the builder carries from one control to the next.
struct BuildContext {
    QWidget* dialog = nullptr;
    QButtonGroup* radioGroup = nullptr;  // the group the next radio joins, if it does
    std::vector<QWidget*> groupBoxes;  // sent behind the other controls at the end
};

QString Caption(const ControlSpec& row) { return QString::fromLatin1(row.caption ? row.caption : ""); }
bool Has(const ControlSpec& row, unsigned style) { return (row.style & style) != 0; }

QWidget* MakePushButton(BuildContext& context, const ControlSpec& row)
{
    auto* button = new QPushButton(Caption(row), context.dialog);
    button->setAutoDefault(true);  // a focused button is the one Enter presses
    return button;
}

QWidget* MakeDefPushButton(BuildContext& context, const ControlSpec& row)
{
    auto* button = static_cast<QPushButton*>(MakePushButton(context, row));
    button->setDefault(true);
    return button;
}

QWidget* MakeCheckBox(BuildContext& context, const ControlSpec& row)
{
    return new QCheckBox(Caption(row), context.dialog);
}

// A radio joins the group of the radio just before it in the template; WS_GROUP
// (or any other control in between) starts a new group.
QWidget* MakeRadioButton(BuildContext& context, const ControlSpec& row)
{
    auto* radio = new QRadioButton(Caption(row), context.dialog);
    if (!context.radioGroup || Has(row, WS_GROUP)) {
        context.radioGroup = new QButtonGroup(context.dialog);
        context.radioGroup->setExclusive(true);
    }
    context.radioGroup->addButton(radio, int(context.radioGroup->buttons().size()));
    return radio;
}

QWidget* MakeGroupBox(BuildContext& context, const ControlSpec& row)
{
    auto* box = new QGroupBox(Caption(row), context.dialog);
    box->setFocusPolicy(Qt::NoFocus);
    context.groupBoxes.push_back(box);
    return box;
}

QLabel* MakeLabel(BuildContext& context, const ControlSpec& row)
{
    auto* label = new QLabel(Caption(row), context.dialog);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* MakeStatic(BuildContext& context, const ControlSpec& row)
{
    QLabel* label = MakeLabel(context, row);
    label->setWordWrap(Caption(row).contains(QLatin1Char('\n')));
    label->setAlignment((Has(row, SS_RIGHT) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    return label;
}

QWidget* MakeStatusLine(BuildContext& context, const ControlSpec& row)
{
    auto* line = new CStatusLine(context.dialog);
    line->SetText(Caption(row));
    return line;
}

QWidget* MakeIcon(BuildContext& context, const ControlSpec&)
{
    auto* label = new QLabel(context.dialog);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = context.dialog->style()->standardIcon(QStyle::SP_ComputerIcon);
    label->setPixmap(icon.pixmap(32, 32));
    return label;
}

QWidget* MakeSingleLineEdit(BuildContext& context, const ControlSpec& row)
{
    auto* edit = new QLineEdit(Caption(row), context.dialog);
    if (row.limit > 0)
        edit->setMaxLength(row.limit);
    if (Has(row, ES_PASSWORD))
        edit->setEchoMode(QLineEdit::Password);
    edit->setReadOnly(Has(row, ES_READONLY));
    return edit;
}

QWidget* MakeMultiLineEdit(BuildContext& context, const ControlSpec& row)
{
    auto* edit = new CLimitedTextEdit(context.dialog);
    edit->SetText(Caption(row));
    edit->SetLimit(row.limit);
    edit->SetWantReturn(Has(row, ES_WANTRETURN));
    edit->setReadOnly(Has(row, ES_READONLY));
    edit->setVerticalScrollBarPolicy(Has(row, WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setLineWrapMode(Has(row, ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    return edit;
}

QWidget* MakeEdit(BuildContext& context, const ControlSpec& row)
{
    return Has(row, ES_MULTILINE) ? MakeMultiLineEdit(context, row) : MakeSingleLineEdit(context, row);
}

QWidget* MakeIpAddress(BuildContext& context, const ControlSpec&) { return new CIPAddressCtrl(context.dialog); }

QComboBox* MakeCombo(BuildContext& context, const ControlSpec& row, bool editable)
{
    auto* combo = new QComboBox(context.dialog);
    combo->setEditable(editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (row.limit > 0)
        combo->setMaxVisibleItems(std::max(1, row.limit / 8));
    return combo;
}

QWidget* MakeComboDropList(BuildContext& context, const ControlSpec& row) { return MakeCombo(context, row, false); }
QWidget* MakeComboDropDown(BuildContext& context, const ControlSpec& row) { return MakeCombo(context, row, true); }

QWidget* MakeListReport(BuildContext& context, const ControlSpec&) { return new CReportList(context.dialog); }

QWidget* MakeTabBar(BuildContext& context, const ControlSpec&) { return new CTabBar(context.dialog); }

QWidget* MakeProgress(BuildContext& context, const ControlSpec&)
{
    auto* bar = new QProgressBar(context.dialog);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

using Factory = QWidget* (*)(BuildContext&, const ControlSpec&);

struct KindEntry {
    ControlKind kind;
    Factory make;
    bool oneLineHigh;  // the template's height also covers a drop-down list or a page
};

const KindEntry kKinds[] = {
    {ControlKind::PushButton, MakePushButton, false},
    {ControlKind::DefPushButton, MakeDefPushButton, false},
    {ControlKind::CheckBox, MakeCheckBox, false},
    {ControlKind::RadioButton, MakeRadioButton, false},
    {ControlKind::GroupBox, MakeGroupBox, false},
    {ControlKind::Static, MakeStatic, false},
    {ControlKind::StatusLine, MakeStatusLine, false},
    {ControlKind::Icon, MakeIcon, false},
    {ControlKind::Edit, MakeEdit, false},
    {ControlKind::IpAddress, MakeIpAddress, false},
    {ControlKind::ComboDropList, MakeComboDropList, true},
    {ControlKind::ComboDropDown, MakeComboDropDown, true},
    {ControlKind::ListReport, MakeListReport, false},
    {ControlKind::TabBar, MakeTabBar, true},
    {ControlKind::Progress, MakeProgress, false},
};

const KindEntry& EntryFor(ControlKind kind)
{
    return *std::find_if(std::begin(kKinds), std::end(kKinds), [kind](const KindEntry& e) { return e.kind == kind; });
}

// A combo box shows one line (its list drops down over the dialog) and a tab
// strip only its tabs (the page area belongs to the controls drawn on it).
int OneLineHeight(const QWidget* widget) { return widget->fontMetrics().height() + 10; }

void Place(QWidget* widget, const ControlSpec& row, bool oneLineHigh, const CDialogUnits& units)
{
    int height = units.Y(row.cy);
    if (oneLineHigh)
        height = std::min(height, OneLineHeight(widget));
    widget->setGeometry(units.X(row.x), units.Y(row.y), units.X(row.cx), height);
}

// Greedy word wrap of a caption to lines no wider than `width`.
QString Wrapped(const QFontMetrics& metrics, const QString& caption, int width)
{
    QStringList lines;
    QString line;
    for (const QString& word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    lines << line;
    return lines.join(QLatin1Char('\n'));
}

// A check box or radio caption too wide for its place wraps at spaces onto
// further lines, as many as the template gives it the height for.
void WrapWhenTooWide(QWidget* widget)
{
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (!button || qobject_cast<QPushButton*>(widget) || button->text().contains(QLatin1Char('\n')))
        return;
    QStyleOptionButton option;
    option.initFrom(button);
    const auto element = qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
    const int room = button->style()->subElementRect(element, &option, button).width();
    if (button->fontMetrics().horizontalAdvance(button->text()) > room)
        button->setText(Wrapped(button->fontMetrics(), button->text(), room));
}

void ApplyCommonStyle(QWidget* widget, const ControlSpec& row)
{
    widget->setObjectName(QString::number(row.id));
    if (Has(row, WS_DISABLED))
        widget->setEnabled(false);
    if (Has(row, WS_HIDDEN))
        widget->hide();
}

}  // namespace

void BuildDialog(QWidget* dialog, const DialogTemplate& tpl)
{
    // Measured in the dialog's own font (the application's, unless set).
    const CDialogUnits units(dialog->font());
    dialog->setFixedSize(units.X(tpl.cx), units.Y(tpl.cy));
    BuildContext context;
    context.dialog = dialog;
    for (const ControlSpec& row : tpl.controls) {
        const KindEntry& entry = EntryFor(row.kind);
        if (row.kind != ControlKind::RadioButton)
            context.radioGroup = nullptr;
        QWidget* widget = entry.make(context, row);
        ApplyCommonStyle(widget, row);
        Place(widget, row, entry.oneLineHigh, units);
        WrapWhenTooWide(widget);
    }
    for (QWidget* box : context.groupBoxes)
        box->lower();
}
