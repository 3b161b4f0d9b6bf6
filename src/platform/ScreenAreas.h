#pragma once
// The free areas of the screens (without panels and docks), as window placing
// and sizing see them. Tests may put areas of their own in their place.

#include <QList>
#include <QPoint>
#include <QRect>

// The primary screen's area first.
QList<QRect> ScreenAreas();
// The area nearest to `point` (the one holding it, if any); empty without
// screens.
QRect NearestScreenArea(const QList<QRect>& areas, const QPoint& point);
// Areas reported instead of the screens' own; an empty list ends that.
void SetScreenAreasForTest(const QList<QRect>& areas);
