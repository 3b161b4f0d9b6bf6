#pragma once
// The windows the main window opens, one row per button.

#include "module/SubWindows.h"

const LaunchTable& KalvorLaunchTable();
