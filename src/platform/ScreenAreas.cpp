#include "platform/ScreenAreas.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <limits>

namespace {

QList<QRect>& TestAreas()
{
    static QList<QRect> areas;
    return areas;
}

// How far `point` lies outside `area` (0 inside), in the Manhattan metric.
int DistanceTo(const QRect& area, const QPoint& point)
{
    const int dx = std::max({area.left() - point.x(), 0, point.x() - area.right()});
    const int dy = std::max({area.top() - point.y(), 0, point.y() - area.bottom()});
    return dx + dy;
}

}  // namespace

QList<QRect> ScreenAreas()
{
    if (!TestAreas().isEmpty())
        return TestAreas();
    QList<QRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    }
    return areas;
}

QRect NearestScreenArea(const QList<QRect>& areas, const QPoint& point)
{
    QRect nearest;
    int best = std::numeric_limits<int>::max();
    for (const QRect& area : areas) {
        const int distance = DistanceTo(area, point);
        if (distance < best) {
            best = distance;
            nearest = area;
        }
    }
    return nearest;
}

void SetScreenAreasForTest(const QList<QRect>& areas) { TestAreas() = areas; }
