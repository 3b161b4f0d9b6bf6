#pragma once
#include "platform/DialogTemplate.h"

// Template 130: the switch settings window "Trellim Settings".
const DialogTemplate& SwitchDlgTemplate();
