#pragma once
#include "platform/DialogTemplate.h"

// Template 143: the settings a module settings file would change.
const DialogTemplate& ApplySettingsDlgTemplate();
