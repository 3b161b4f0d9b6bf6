#include "res/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

// The mark: a small blue module box with status lights and a network port,
// a plug in the port and its cable running off to the lower left. Drawn on a
// 32-unit grid; the 16-pixel version leaves out the finer details.

namespace {

const QColor kBoxTop(0x4a, 0x7f, 0xb5);
const QColor kBoxBottom(0x22, 0x4a, 0x74);
const QColor kBoxEdge(0x14, 0x2c, 0x45);
const QColor kPortHole(0x10, 0x18, 0x20);
const QColor kPlugBody(0xd8, 0xdc, 0xe0);
const QColor kPlugEdge(0x6a, 0x72, 0x7a);
const QColor kCable(0xe8, 0x8a, 0x1a);
const QColor kLedOn(0x5c, 0xe0, 0x4a);
const QColor kLedActivity(0xff, 0xc8, 0x32);

// Where the parts go on the 32-unit grid. Each size has its own set, placed
// so that outlines and fills meet whole pixels after scaling.
struct Geometry {
    QRectF box;
    qreal edgePen;  // outline width in grid units
    QRectF leds[3];  // empty rectangles are left out
    bool roundLeds;  // round with a glint, or plain squares
    QRectF port;
    QRectF plug;
    bool plugContacts;
};

const Geometry kLarge = {
    QRectF(2.5, 6.5, 27, 15),
    1.0,
    {QRectF(5.4, 9.4, 3.2, 3.2), QRectF(9.9, 9.4, 3.2, 3.2), QRectF(14.4, 9.4, 3.2, 3.2)},
    true,
    QRectF(19, 11, 8, 7),
    QRectF(20, 14.5, 6, 11),
    true,
};

const Geometry kSmall = {
    QRectF(3, 7, 26, 14),
    2.0,
    {QRectF(6, 10, 4, 4), QRectF(12, 10, 4, 4), QRectF()},
    false,
    QRectF(20, 12, 8, 6),
    QRectF(21, 15, 6, 10),
    false,
};

void DrawBox(QPainter& painter, const Geometry& geometry)
{
    QLinearGradient shade(geometry.box.topLeft(), geometry.box.bottomLeft());
    shade.setColorAt(0, kBoxTop);
    shade.setColorAt(1, kBoxBottom);
    painter.setPen(QPen(kBoxEdge, geometry.edgePen));
    painter.setBrush(shade);
    painter.drawRoundedRect(geometry.box, 2.5, 2.5);
}

void DrawLeds(QPainter& painter, const Geometry& geometry)
{
    const QColor colours[] = {kLedOn, kLedOn, kLedActivity};
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        const QRectF& led = geometry.leds[i];
        if (led.isEmpty())
            continue;
        painter.setBrush(colours[i]);
        if (!geometry.roundLeds) {
            painter.drawRect(led);
            continue;
        }
        painter.drawEllipse(led);
        painter.setBrush(QColor(255, 255, 255, 150));
        painter.drawEllipse(QPointF(led.center().x() - 0.5, led.center().y() - 0.5), 0.5, 0.5);
    }
}

void DrawPort(QPainter& painter, const Geometry& geometry)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPortHole);
    painter.drawRect(geometry.port);
}

void DrawPlugAndCable(QPainter& painter, const Geometry& geometry)
{
    const QRectF& plug = geometry.plug;
    const qreal cableX = plug.center().x();
    QPainterPath cable(QPointF(cableX, plug.bottom() - 0.5));
    cable.cubicTo(QPointF(cableX, 30), QPointF(14, 27), QPointF(8, 31.5));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kCable, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(cable);

    painter.setPen(QPen(kPlugEdge, geometry.edgePen));
    painter.setBrush(kPlugBody);
    painter.drawRoundedRect(plug, 1, 1);
    if (!geometry.plugContacts)
        return;
    painter.setPen(QPen(kPlugEdge, 0.6));
    for (qreal x = plug.left() + 1.5; x < plug.right() - 0.5; x += 1.5)
        painter.drawLine(QPointF(x, plug.top() + 1), QPointF(x, plug.top() + 3));
}

QPixmap DrawMark(int size, const Geometry& geometry)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    DrawBox(painter, geometry);
    DrawLeds(painter, geometry);
    DrawPort(painter, geometry);
    DrawPlugAndCable(painter, geometry);
    return pixmap;
}

}  // namespace

QIcon AppIcon()
{
    QIcon icon;
    icon.addPixmap(DrawMark(32, kLarge));
    icon.addPixmap(DrawMark(16, kSmall));
    return icon;
}
