#pragma once
#include "platform/DialogTemplate.h"

// Template 138: the trap settings window.
const DialogTemplate& TrapDlgTemplate();
