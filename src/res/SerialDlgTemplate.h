#pragma once
#include "platform/DialogTemplate.h"

// Template 141: the serial port window.
const DialogTemplate& SerialDlgTemplate();
