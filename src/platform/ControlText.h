#pragma once
// Reading and writing the text of any control kind the builder makes, with
// the conventions of the dialog framework (multi-line edits use CR LF line
// breaks, a drop-down list's text is its selected item).

#include <QString>

class QWidget;

QString ControlText(const QWidget* control);
void SetControlText(QWidget* control, const QString& text);
// Character limit of an edit (or of a combo box's edit field); 0 = none.
void SetControlLimit(QWidget* control, int maxChars);
// Gives the focus to a control whose value was refused and selects its text.
void FocusForCorrection(QWidget* control);
