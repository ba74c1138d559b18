#include "ink.h"
#include "pictures.h"

#include <QTransform>
#include <cmath>

namespace {

// Letters are drawn on a grid one unit high (y down), from bone strokes.
struct Stroke {
    QPainterPath line;
    bool knobAtStart = true;
    bool knobAtEnd = true;
};

struct Glyph {
    qreal width = 0; // between the stroke centres, knobs not counted
    QList<Stroke> strokes;
};

QPainterPath seg(qreal x0, qreal y0, qreal x1, qreal y1)
{
    QPainterPath p;
    p.moveTo(x0, y0);
    p.lineTo(x1, y1);
    return p;
}

QPainterPath arc(qreal cx, qreal cy, qreal rx, qreal ry, qreal start, qreal sweep)
{
    const QRectF box(cx - rx, cy - ry, 2 * rx, 2 * ry);
    QPainterPath p;
    p.arcMoveTo(box, start);
    p.arcTo(box, start, sweep);
    return p;
}

QPainterPath dot(qreal x, qreal y)
{
    QPainterPath p;
    p.moveTo(x, y);
    return p;
}

// Where two strokes meet, only one of them carries the knob.
Glyph glyph(QChar c)
{
    switch (c.unicode()) {
    case 'A':
        return {0.76, {{seg(0, 1, 0.38, 0)},
                       {seg(0.38, 0, 0.76, 1), false, true},
                       {seg(0.144, 0.62, 0.616, 0.62), false, false}}};
    case 'C':
        return {0.74, {{arc(0.4, 0.5, 0.4, 0.5, 48, 264)}}};
    case 'I':
        return {0, {{seg(0, 0, 0, 1)}}};
    case 'L':
        return {0.56, {{seg(0, 0, 0, 1), true, false}, {seg(0, 1, 0.56, 1)}}};
    case 'N':
        return {0.66, {{seg(0, 1, 0, 0)},
                       {seg(0, 0, 0.66, 1), false, false},
                       {seg(0.66, 1, 0.66, 0), false, true}}};
    case 'O':
        return {0.76, {{arc(0.38, 0.5, 0.38, 0.5, 90, 360), false, false}}};
    case 'R': {
        QPainterPath bowl;
        bowl.moveTo(0, 0);
        bowl.lineTo(0.36, 0);
        bowl.arcTo(QRectF(0.36 - 0.3, 0, 0.6, 0.52), 90, -180);
        bowl.lineTo(0, 0.52);
        return {0.68, {{seg(0, 0, 0, 1)},
                       {bowl, false, false},
                       {seg(0.3, 0.52, 0.68, 1), false, true}}};
    }
    case 'T':
        return {0.76, {{seg(0, 0, 0.76, 0)}, {seg(0.38, 0, 0.38, 1), false, true}}};
    case 'X':
        return {0.68, {{seg(0, 0, 0.68, 1)}, {seg(0.68, 0, 0, 1)}}};
    case '!':
        return {0, {{seg(0, 0, 0, 0.56)}, {dot(0, 0.95), true, false}}};
    default: // space
        return {0.2, {}};
    }
}

struct Lettering {
    qreal height;    // cap height, px
    qreal narrow;    // horizontal squeeze of the letter shapes
    qreal thickness; // bar width, px
    qreal knob;      // knob radius, px
    qreal gap;       // extra room between letters (negative: they overlap)
    qreal angle;     // slope of the line, degrees, positive rises to the right
    qreal wobble;    // random tilt of each letter, degrees
};

// Each letter gets its own outline, so a letter that overlaps its
// neighbour sits on top of it instead of melting into it.
void drawLine(QPainter &p, Rng &rng, const QString &text, QPointF baseline,
              const Lettering &st)
{
    const qreal a = qDegreesToRadians(st.angle);
    const QPointF dir(std::cos(a), -std::sin(a));
    QPointF pen = baseline + dir * st.knob;
    for (QChar c : text) {
        const Glyph g = glyph(c);
        const qreal tilt = -st.angle + rng.uni(-st.wobble, st.wobble);
        const qreal hop = rng.uni(-1.2, 1.2);
        const qreal w = g.width * st.height * st.narrow;

        // rotate about the letter's foot centre, glyph top at -height
        QTransform t;
        t.translate(pen.x() + dir.x() * w / 2, pen.y() + dir.y() * w / 2 + hop);
        t.rotate(tilt);
        t.translate(-w / 2, -st.height);
        t.scale(st.height * st.narrow, st.height);

        QList<QPainterPath> shapes;
        for (const Stroke &s : g.strokes) {
            const qreal knob = s.line.length() < 1e-6 ? st.knob * 1.2 : st.knob;
            shapes << ink::bone(t.map(s.line), st.thickness, knob, s.knobAtStart,
                                s.knobAtEnd);
        }
        ink::mergedOutline(p, shapes, 1.5);

        pen += dir * (w + 2 * st.knob + st.gap);
    }
}

} // namespace

void drawLogo(QPainter &p)
{
    Rng rng(777);
    const Lettering small{20, 0.88, 4.0, 3.6, 1.0, 3, 4};
    drawLine(p, rng, "LO", QPointF(6, 58), small);

    const Lettering big{26, 0.84, 4.8, 4.4, 0.8, 9, 4};
    drawLine(p, rng, "CIARLATRONIX !", QPointF(4, 111), big);
}
