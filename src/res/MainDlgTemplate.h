#pragma once
#include "platform/DialogTemplate.h"

// Template 102: the main window.
const DialogTemplate& MainDlgTemplate();
// The caption a control of the main window has in the template.
const char* MainDlgCaption(int id);

// Label 1082 by the firmware's pulse unit (the template shows the first).
inline constexpr const char* kPulseWidthLabelSlow = "Restart Pulse Width (x42ms)";
inline constexpr const char* kPulseWidthLabelFast = "Restart Pulse Width (x0.25s)";
