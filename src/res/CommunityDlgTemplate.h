#pragma once
#include "platform/DialogTemplate.h"

// Template 136: the window that asks twice for a new community string.
const DialogTemplate& CommunityDlgTemplate();
