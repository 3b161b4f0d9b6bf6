#pragma once
// Driving a window by control id the way an operator would: typing into
// fields, pressing buttons, and reading back captions, states and the status
// line. Header-only so that tests of any window can use it.

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QTest>

#include "platform/Dialog.h"
#include "platform/IpAddressCtrl.h"

namespace drive {

inline QWidget* Control(const CDialog& dialog, int id)
{
    QWidget* control = dialog.GetDlgItem(id);
    if (!control)
        qFatal("no control %d", id);
    return control;
}

inline void Press(CDialog& dialog, int id)
{
    auto* button = qobject_cast<QAbstractButton*>(Control(dialog, id));
    if (!button)
        qFatal("control %d is not a button", id);
    button->click();
}

inline void SetText(CDialog& dialog, int id, const QString& text)
{
    QWidget* control = Control(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(control))
        multi->setPlainText(text);
    else
        qFatal("control %d is not an edit", id);
}

inline QString Text(const CDialog& dialog, int id)
{
    QWidget* control = Control(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* multi = qobject_cast<QPlainTextEdit*>(control))
        return multi->toPlainText();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    qFatal("control %d has no text", id);
    return QString();
}

inline void SetIp(CDialog& dialog, int id, const QString& dotted)
{
    const QStringList parts = dotted.split('.');
    auto* ip = dialog.IpCtrl(id);
    if (!ip || parts.size() != 4)
        qFatal("bad IP control %d or address", id);
    for (int i = 0; i < 4; ++i)
        ip->Field(i)->setText(parts[i]);
}

inline QString Ip(const CDialog& dialog, int id) { return dialog.GetIpText(id); }

inline bool IpBlank(const CDialog& dialog, int id) { return dialog.IpCtrl(id)->IsBlank(); }

inline bool Checked(const CDialog& dialog, int id)
{
    return qobject_cast<QAbstractButton*>(Control(dialog, id))->isChecked();
}

inline void SetChecked(CDialog& dialog, int id, bool checked)
{
    qobject_cast<QAbstractButton*>(Control(dialog, id))->setChecked(checked);
}

inline bool Enabled(const CDialog& dialog, int id) { return Control(dialog, id)->isEnabled(); }

inline bool ReadOnly(const CDialog& dialog, int id)
{
    QWidget* control = Control(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->isReadOnly();
    if (auto* multi = qobject_cast<QPlainTextEdit*>(control))
        return multi->isReadOnly();
    qFatal("control %d is not an edit", id);
    return false;
}

inline QString Status(const CDialog& dialog) { return Text(dialog, IDC_STATUS); }

}  // namespace drive
