#include "platform/ControlText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "platform/IpAddressCtrl.h"
#include "platform/LimitedTextEdit.h"
#include "platform/StatusLine.h"

namespace {

template <class Widget> Widget* As(const QWidget* control)
{
    return qobject_cast<Widget*>(const_cast<QWidget*>(control));
}

QString ComboText(QComboBox* combo) { return combo->currentText(); }

// The edit field of a combo takes any text; a drop-down list has no field of
// its own, so text set on it is dropped.
void SetComboText(QComboBox* combo, const QString& text)
{
    if (combo->isEditable())
        combo->setEditText(text);
}

void SetIpText(CIPAddressCtrl* control, const QString& text)
{
    const QStringList octets = text.split(QLatin1Char('.'));
    if (octets.size() != 4) {
        control->ClearAddress();
        return;
    }
    control->SetAddress(octets[0].toInt(), octets[1].toInt(), octets[2].toInt(), octets[3].toInt());
}

QString IpText(CIPAddressCtrl* control)
{
    uint32_t address = 0;
    control->GetAddress(address);
    return QString::asprintf(
        "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
}

// One row per control kind: how to recognise it, read and write its text.
struct TextAccess {
    bool (*matches)(const QWidget*);
    QString (*read)(const QWidget*);
    void (*write)(QWidget*, const QString&);
};

template <class Widget, QString (*Read)(Widget*), void (*Write)(Widget*, const QString&)> constexpr TextAccess Access()
{
    return {[](const QWidget* control) { return As<Widget>(control) != nullptr; },
        [](const QWidget* control) { return Read(As<Widget>(control)); },
        [](QWidget* control, const QString& text) { Write(As<Widget>(control), text); }};
}

QString LineEditText(QLineEdit* w) { return w->text(); }
void SetLineEditText(QLineEdit* w, const QString& t) { w->setText(t); }
QString TextEditText(CLimitedTextEdit* w) { return w->Text(); }
void SetTextEditText(CLimitedTextEdit* w, const QString& t) { w->SetText(t); }
QString PlainTextEditText(QPlainTextEdit* w) { return w->toPlainText(); }
void SetPlainTextEditText(QPlainTextEdit* w, const QString& t) { w->setPlainText(t); }
QString StatusLineText(CStatusLine* w) { return w->text(); }
void SetStatusLineText(CStatusLine* w, const QString& t) { w->SetText(t); }
QString LabelText(QLabel* w) { return w->text(); }
void SetLabelText(QLabel* w, const QString& t) { w->setText(t); }
QString ButtonText(QAbstractButton* w) { return w->text(); }
void SetButtonText(QAbstractButton* w, const QString& t) { w->setText(t); }
QString GroupBoxText(QGroupBox* w) { return w->title(); }
void SetGroupBoxText(QGroupBox* w, const QString& t) { w->setTitle(t); }

const TextAccess kTextAccess[] = {
    Access<QLineEdit, LineEditText, SetLineEditText>(),
    Access<CLimitedTextEdit, TextEditText, SetTextEditText>(),
    Access<QPlainTextEdit, PlainTextEditText, SetPlainTextEditText>(),
    Access<QComboBox, ComboText, SetComboText>(),
    Access<CStatusLine, StatusLineText, SetStatusLineText>(),
    Access<QLabel, LabelText, SetLabelText>(),
    Access<QAbstractButton, ButtonText, SetButtonText>(),
    Access<QGroupBox, GroupBoxText, SetGroupBoxText>(),
    Access<CIPAddressCtrl, IpText, SetIpText>(),
};

const TextAccess* AccessFor(const QWidget* control)
{
    if (!control)
        return nullptr;
    for (const TextAccess& access : kTextAccess) {
        if (access.matches(control))
            return &access;
    }
    return nullptr;
}

}  // namespace

QString ControlText(const QWidget* control)
{
    const TextAccess* access = AccessFor(control);
    return access ? access->read(control) : QString();
}

void SetControlText(QWidget* control, const QString& text)
{
    if (const TextAccess* access = AccessFor(control))
        access->write(control, text);
}

void SetControlLimit(QWidget* control, int maxChars)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setMaxLength(maxChars > 0 ? maxChars : 32767);
    } else if (auto* textEdit = qobject_cast<CLimitedTextEdit*>(control)) {
        textEdit->SetLimit(maxChars);
    } else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
        combo->lineEdit()->setMaxLength(maxChars > 0 ? maxChars : 32767);
    }
}

void FocusForCorrection(QWidget* control)
{
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    if (auto* textEdit = qobject_cast<QPlainTextEdit*>(control))
        textEdit->selectAll();
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}
