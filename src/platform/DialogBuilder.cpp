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
#include <algorithm>

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

QString Caption(const ControlSpec& spec) { return QString::fromLatin1(spec.caption ? spec.caption : ""); }
bool Has(const ControlSpec& spec, unsigned style) { return (spec.style & style) != 0; }

QWidget* MakePushButton(BuildContext& context, const ControlSpec& spec)
{
    auto* button = new QPushButton(Caption(spec), context.dialog);
    button->setAutoDefault(true);  // a focused button is the one Enter presses
    return button;
}

QWidget* MakeDefPushButton(BuildContext& context, const ControlSpec& spec)
{
    auto* button = static_cast<QPushButton*>(MakePushButton(context, spec));
    button->setDefault(true);
    return button;
}

QWidget* MakeCheckBox(BuildContext& context, const ControlSpec& spec)
{
    return new QCheckBox(Caption(spec), context.dialog);
}

// A radio joins the group of the radio just before it in the template; WS_GROUP
// (or any other control in between) starts a new group.
QWidget* MakeRadioButton(BuildContext& context, const ControlSpec& spec)
{
    auto* radio = new QRadioButton(Caption(spec), context.dialog);
    if (!context.radioGroup || Has(spec, WS_GROUP)) {
        context.radioGroup = new QButtonGroup(context.dialog);
        context.radioGroup->setExclusive(true);
    }
    context.radioGroup->addButton(radio, int(context.radioGroup->buttons().size()));
    return radio;
}

QWidget* MakeGroupBox(BuildContext& context, const ControlSpec& spec)
{
    auto* box = new QGroupBox(Caption(spec), context.dialog);
    box->setFocusPolicy(Qt::NoFocus);
    context.groupBoxes.push_back(box);
    return box;
}

QLabel* MakeLabel(BuildContext& context, const ControlSpec& spec)
{
    auto* label = new QLabel(Caption(spec), context.dialog);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* MakeStatic(BuildContext& context, const ControlSpec& spec)
{
    QLabel* label = MakeLabel(context, spec);
    label->setWordWrap(Caption(spec).contains(QLatin1Char('\n')));
    label->setAlignment((Has(spec, SS_RIGHT) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    return label;
}

QWidget* MakeStatusLine(BuildContext& context, const ControlSpec& spec)
{
    auto* line = new CStatusLine(context.dialog);
    line->setText(Caption(spec));
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

QWidget* MakeSingleLineEdit(BuildContext& context, const ControlSpec& spec)
{
    auto* edit = new QLineEdit(Caption(spec), context.dialog);
    if (spec.limit > 0)
        edit->setMaxLength(spec.limit);
    if (Has(spec, ES_PASSWORD))
        edit->setEchoMode(QLineEdit::Password);
    edit->setReadOnly(Has(spec, ES_READONLY));
    return edit;
}

QWidget* MakeMultiLineEdit(BuildContext& context, const ControlSpec& spec)
{
    auto* edit = new CLimitedTextEdit(context.dialog);
    edit->SetText(Caption(spec));
    edit->SetLimit(spec.limit);
    edit->SetWantReturn(Has(spec, ES_WANTRETURN));
    edit->setReadOnly(Has(spec, ES_READONLY));
    edit->setVerticalScrollBarPolicy(Has(spec, WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setLineWrapMode(Has(spec, ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    return edit;
}

QWidget* MakeEdit(BuildContext& context, const ControlSpec& spec)
{
    return Has(spec, ES_MULTILINE) ? MakeMultiLineEdit(context, spec) : MakeSingleLineEdit(context, spec);
}

QWidget* MakeIpAddress(BuildContext& context, const ControlSpec&) { return new CIPAddressCtrl(context.dialog); }

QComboBox* MakeCombo(BuildContext& context, const ControlSpec& spec, bool editable)
{
    auto* combo = new QComboBox(context.dialog);
    combo->setEditable(editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (spec.limit > 0)
        combo->setMaxVisibleItems(std::max(1, spec.limit / 8));
    return combo;
}

QWidget* MakeComboDropList(BuildContext& context, const ControlSpec& spec) { return MakeCombo(context, spec, false); }
QWidget* MakeComboDropDown(BuildContext& context, const ControlSpec& spec) { return MakeCombo(context, spec, true); }

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

void Place(QWidget* widget, const ControlSpec& spec, bool oneLineHigh)
{
    int height = DluToPixelsY(spec.cy);
    if (oneLineHigh)
        height = std::min(height, OneLineHeight(widget));
    widget->setGeometry(DluToPixelsX(spec.x), DluToPixelsY(spec.y), DluToPixelsX(spec.cx), height);
}

void ApplyCommonStyle(QWidget* widget, const ControlSpec& spec)
{
    widget->setObjectName(QString::number(spec.id));
    if (Has(spec, WS_DISABLED))
        widget->setEnabled(false);
    if (Has(spec, WS_HIDDEN))
        widget->hide();
}

// The dialog font the dialog units are measured in.
void SetDialogFont(QWidget* dialog)
{
    QFont font = dialog->font();
    font.setPixelSize(11);
    dialog->setFont(font);
}

}  // namespace

void BuildDialog(QWidget* dialog, const DialogTemplate& tpl)
{
    SetDialogFont(dialog);
    dialog->setFixedSize(DluToPixelsX(tpl.cx), DluToPixelsY(tpl.cy));
    BuildContext context;
    context.dialog = dialog;
    for (const ControlSpec& spec : tpl.controls) {
        const KindEntry& entry = EntryFor(spec.kind);
        if (spec.kind != ControlKind::RadioButton)
            context.radioGroup = nullptr;
        QWidget* widget = entry.make(context, spec);
        ApplyCommonStyle(widget, spec);
        Place(widget, spec, entry.oneLineHigh);
    }
    for (QWidget* box : context.groupBoxes)
        box->lower();
}
