#pragma once
#include "platform/DialogTemplate.h"

// Template 130: the switch settings window "Trellim Settings".
const DialogTemplate& SwitchDlgTemplate();
// The caption of control `id` as the template has it (nullptr: no such control).
const char* SwitchDlgCaption(int id);
