#pragma once
#include "platform/DialogTemplate.h"

// Template 102: the main window.
const DialogTemplate& MainDlgTemplate();
