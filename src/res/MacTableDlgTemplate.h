#pragma once
#include "platform/DialogTemplate.h"

// Template 139: the switch's MAC table window.
const DialogTemplate& MacTableDlgTemplate();
