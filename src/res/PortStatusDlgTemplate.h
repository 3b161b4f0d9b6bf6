#pragma once
#include "platform/DialogTemplate.h"

// Template 135: the switch port status window "Trellim Port Status".
const DialogTemplate& PortStatusDlgTemplate();
