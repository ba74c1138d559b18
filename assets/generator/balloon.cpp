#include "ink.h"
#include "pictures.h"

// Box and tail are one closed path, so no line crosses the tail's mouth.
static QPainterPath balloonPath()
{
    const qreal l = 10, t = 9, r = 327, b = 108; // box edges
    const qreal rx = 40, ry = 14;                 // elliptical corners
    const QPointF tip(19, 135);                   // points down at the photo

    QPainterPath path;
    path.moveTo(l + rx, t);
    path.lineTo(r - rx, t);
    path.arcTo(r - 2 * rx, t, 2 * rx, 2 * ry, 90, -90);
    path.lineTo(r, b - ry);
    path.arcTo(r - 2 * rx, b - 2 * ry, 2 * rx, 2 * ry, 0, -90);
    path.lineTo(135, b);
    // the far side of the tail sweeps in a long curve, the near side is shorter
    path.quadTo(QPointF(85, 116), tip);
    path.quadTo(QPointF(48, 118), QPointF(55, b));
    path.lineTo(l + rx, b);
    path.arcTo(l, b - 2 * ry, 2 * rx, 2 * ry, 270, -90);
    path.lineTo(l, t + ry);
    path.arcTo(l, t, 2 * rx, 2 * ry, 180, -90);
    path.closeSubpath();
    return path;
}

void drawFumetto(QPainter &p)
{
    QPen line = ink::pen(1.5);
    line.setJoinStyle(Qt::MiterJoin); // keeps the tail's tip sharp
    line.setMiterLimit(6);
    p.setPen(line);
    p.setBrush(Qt::white);
    p.drawPath(balloonPath());
}
