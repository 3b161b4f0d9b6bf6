#pragma once
#include "platform/DialogTemplate.h"

// Template 142: the Find Modules window.
const DialogTemplate& FindModulesDlgTemplate();
