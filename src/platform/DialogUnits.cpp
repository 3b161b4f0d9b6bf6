#include "platform/DialogTemplate.h"

// A fixed 8-point scale (6 x 13 pixel average character), so that every window
// has the same layout on every screen and offscreen.
int DluToPixelsX(int dlu) { return dlu * 3 / 2; }
int DluToPixelsY(int dlu) { return dlu * 13 / 8; }
