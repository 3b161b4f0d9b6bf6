#pragma once
#include <QIcon>

// The application icon (resource 128), drawn at 32x32 and 16x16.
QIcon AppIcon();
