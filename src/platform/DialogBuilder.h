#pragma once
#include "platform/DialogTemplate.h"

class QWidget;

// Creates one widget per control of the template as children of `dialog`, in
// template order (which makes it the tab order), named by decimal id, placed
// and sized from dialog units, with caption, initial state and limits applied.
// `dialog` is the widget the controls lie on (a window's page); its fixed size
// is set from the template.
void BuildDialog(QWidget* dialog, const DialogTemplate& tpl);
