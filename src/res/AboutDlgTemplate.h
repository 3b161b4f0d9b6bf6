#pragma once
#include "platform/DialogTemplate.h"

// Template 100: the About box.
const DialogTemplate& AboutDlgTemplate();
