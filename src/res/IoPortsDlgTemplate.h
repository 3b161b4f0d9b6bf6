#pragma once
#include "platform/DialogTemplate.h"

// Template 137: the I/O ports window.
const DialogTemplate& IoPortsDlgTemplate();
