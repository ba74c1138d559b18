#include "ink.h"

#include <QPainterPathStroker>

namespace ink {

QPen pen(qreal width, const QColor &color)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void outlined(QPainter &p, const QPainterPath &shape, qreal width, const QBrush &fill,
              const QColor &line)
{
    p.save();
    p.setPen(pen(width, line));
    p.setBrush(fill);
    p.drawPath(shape);
    p.restore();
}

void mergedOutline(QPainter &p, const QList<QPainterPath> &shapes, qreal width,
                   const QBrush &fill)
{
    p.save();
    p.setPen(pen(2 * width));
    p.setBrush(Qt::black);
    for (const QPainterPath &s : shapes)
        p.drawPath(s);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    for (const QPainterPath &s : shapes)
        p.drawPath(s);
    p.restore();
}

QPainterPath bone(const QPainterPath &centre, qreal thickness, qreal knobRadius,
                  bool knobAtStart, bool knobAtEnd)
{
    QPainterPath shape;
    if (centre.length() > 0.01) {
        QPainterPathStroker stroker;
        stroker.setWidth(thickness);
        stroker.setCapStyle(Qt::FlatCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        shape = stroker.createStroke(centre);
    }
    const auto addKnob = [&](qreal t) {
        QPainterPath knob;
        knob.addEllipse(centre.pointAtPercent(t), knobRadius, knobRadius);
        shape = shape.united(knob);
    };
    if (knobAtStart)
        addKnob(0);
    if (knobAtEnd)
        addKnob(1);
    shape.setFillRule(Qt::WindingFill);
    return shape;
}

} // namespace ink
