#include "ink.h"
#include "pictures.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace {

QPainterPath ellipse(qreal cx, qreal cy, qreal rx, qreal ry)
{
    QPainterPath p;
    p.addEllipse(QPointF(cx, cy), rx, ry);
    return p;
}

// Zigzag crown of hair between two points on the head's sides.
QPainterPath spikyHair(Rng &rng, QPointF from, QPointF to, qreal crownY, int spikes)
{
    QPainterPath p;
    p.moveTo(from);
    for (int i = 0; i < spikes; ++i) {
        const qreal t0 = (i + 0.5) / spikes, t1 = (i + 1.0) / spikes;
        const qreal bulge = std::sin(t0 * M_PI); // taller spikes in the middle
        const QPointF tip(from.x() + (to.x() - from.x()) * t0 + rng.uni(-2, 2),
                          from.y() - (from.y() - crownY) * bulge + rng.uni(-3, 2));
        const qreal dipX = from.x() + (to.x() - from.x()) * t1;
        const qreal dipY = from.y() - (from.y() - crownY) * 0.55 * std::sin(t1 * M_PI)
                           + rng.uni(0, 4);
        p.lineTo(tip);
        p.lineTo(i + 1 == spikes ? to : QPointF(dipX, dipY));
    }
    // close under the spikes with a curve that follows the forehead
    p.quadTo(QPointF((from.x() + to.x()) / 2, from.y() - 18), from);
    return p;
}

} // namespace

void drawFaccia(QPainter &p)
{
    Rng rng(31337);
    const qreal line = 2;

    // shoulders and neck first, the head covers their top ends
    QPainterPath body;
    body.moveTo(0, 150);
    body.cubicTo(2, 136, 22, 133, 40, 131);
    body.lineTo(41, 114);
    body.lineTo(59, 114);
    body.lineTo(60, 131);
    body.cubicTo(78, 133, 98, 136, 100, 150);
    ink::outlined(p, body, line);
    p.setPen(ink::pen(1.5));
    p.drawLine(QPointF(40, 131), QPointF(50, 145));
    p.drawLine(QPointF(60, 131), QPointF(50, 145));

    // ears behind the head
    ink::outlined(p, ellipse(19, 84, 6, 9), line);
    ink::outlined(p, ellipse(81, 84, 6, 9), line);

    ink::outlined(p, ellipse(50, 80, 31, 40), line);
    ink::outlined(p, spikyHair(rng, QPointF(20, 70), QPointF(80, 70), 10, 9), line);

    // round staring eyes, pupils off-centre for the cheeky look
    for (qreal x : {37.0, 63.0}) {
        ink::outlined(p, ellipse(x, 78, 8, 8), line);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(x + 2, 76), 3.2, 3.2);
    }
    p.setPen(ink::pen(line));
    p.drawLine(QPointF(28, 66), QPointF(43, 68));
    p.drawLine(QPointF(72, 66), QPointF(57, 68));

    QPainterPath nose;
    nose.moveTo(50, 82);
    nose.quadTo(47, 91, 45, 94);
    nose.quadTo(50, 97, 55, 93);
    p.setBrush(Qt::NoBrush);
    p.drawPath(nose);

    // the grin: a wide half-moon full of teeth
    QPainterPath mouth;
    mouth.moveTo(29, 100);
    mouth.quadTo(50, 106, 71, 100);
    mouth.quadTo(68, 121, 50, 122);
    mouth.quadTo(32, 121, 29, 100);
    ink::outlined(p, mouth, line);
    p.save();
    p.setClipPath(mouth);
    p.setPen(ink::pen(1.2));
    QPainterPath gumLine;
    gumLine.moveTo(29, 110);
    gumLine.quadTo(50, 115, 71, 110);
    p.drawPath(gumLine);
    for (qreal x = 35; x < 70; x += 5.5)
        p.drawLine(QPointF(x, 90), QPointF(x, 125));
    p.restore();

    // dimples at the corners of the grin
    p.setPen(ink::pen(1.5));
    p.drawArc(QRectF(22, 95, 8, 10), 90 * 16, 150 * 16);
    p.drawArc(QRectF(70, 95, 8, 10), 300 * 16, 150 * 16);
}

void drawPhoto(QPainter &p)
{
    const QColor outline(70, 38, 24);
    const QColor skin(242, 196, 158), skinShade(214, 150, 112);
    const QColor hair(48, 30, 22);

    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0, QColor(96, 170, 222));
    sky.setColorAt(0.6, QColor(180, 220, 236));
    sky.setColorAt(1, QColor(250, 226, 170));
    p.fillRect(QRectF(0, 0, 100, 150), sky);

    // jacket and shirt
    QPainterPath jacket;
    jacket.moveTo(-2, 152);
    jacket.cubicTo(0, 128, 18, 120, 38, 117);
    jacket.lineTo(62, 117);
    jacket.cubicTo(82, 120, 100, 128, 102, 152);
    jacket.closeSubpath();
    QLinearGradient cloth(0, 115, 0, 150);
    cloth.setColorAt(0, QColor(168, 40, 52));
    cloth.setColorAt(1, QColor(110, 20, 36));
    ink::outlined(p, jacket, 1.2, cloth, outline);

    QPainterPath shirt;
    shirt.moveTo(38, 117);
    shirt.lineTo(62, 117);
    shirt.lineTo(50, 146);
    shirt.closeSubpath();
    ink::outlined(p, shirt, 1, QColor(250, 248, 240), outline);

    QPainterPath neck;
    neck.addRect(QRectF(41, 98, 18, 22));
    ink::outlined(p, neck, 1, skinShade, outline);

    // bow tie, the showman's touch
    QPainterPath bow;
    bow.moveTo(50, 123);
    bow.lineTo(39, 117);
    bow.lineTo(39, 130);
    bow.closeSubpath();
    bow.moveTo(50, 123);
    bow.lineTo(61, 117);
    bow.lineTo(61, 130);
    bow.closeSubpath();
    ink::outlined(p, bow, 1, QColor(240, 190, 40), outline);
    ink::outlined(p, ellipse(50, 123.5, 2.6, 3), 1, QColor(220, 160, 30), outline);

    // ears, face
    ink::outlined(p, ellipse(23, 72, 5, 8), 1, skinShade, outline);
    ink::outlined(p, ellipse(77, 72, 5, 8), 1, skinShade, outline);
    QRadialGradient face(44, 62, 40);
    face.setColorAt(0, QColor(252, 218, 186));
    face.setColorAt(0.6, skin);
    face.setColorAt(1, skinShade);
    ink::outlined(p, ellipse(50, 70, 27, 34), 1.2, face, outline);

    // rosy cheeks
    for (qreal x : {34.0, 66.0}) {
        QRadialGradient blush(x, 82, 8);
        blush.setColorAt(0, QColor(236, 120, 110, 150));
        blush.setColorAt(1, QColor(236, 120, 110, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(blush);
        p.drawEllipse(QPointF(x, 82), 8, 8);
    }

    // slicked hair with a proud quiff and sideburns
    QPainterPath locks;
    locks.moveTo(23, 70);
    locks.cubicTo(18, 44, 30, 26, 46, 28);
    locks.cubicTo(54, 18, 72, 20, 76, 32);
    locks.cubicTo(82, 42, 80, 56, 77, 70);
    locks.lineTo(73, 62);
    locks.cubicTo(72, 52, 66, 46, 58, 46);
    locks.cubicTo(52, 42, 40, 44, 34, 50);
    locks.cubicTo(28, 54, 27, 62, 27, 62);
    locks.closeSubpath();
    QLinearGradient shine(30, 20, 70, 60);
    shine.setColorAt(0, QColor(92, 62, 44));
    shine.setColorAt(1, hair);
    ink::outlined(p, locks, 1, shine, outline);
    p.setPen(QPen(QColor(130, 96, 70), 1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath combLines;
    combLines.moveTo(38, 36);
    combLines.quadTo(50, 28, 66, 30);
    combLines.moveTo(33, 44);
    combLines.quadTo(48, 34, 70, 38);
    p.drawPath(combLines);

    // brows and eyes
    p.setPen(ink::pen(2.2, hair));
    p.drawLine(QPointF(33, 58), QPointF(44, 56));
    p.drawLine(QPointF(56, 56), QPointF(67, 58));
    for (qreal x : {39.0, 61.0}) {
        ink::outlined(p, ellipse(x, 65, 5.5, 4.5), 0.8, Qt::white, outline);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 130, 60));
        p.drawEllipse(QPointF(x + 0.6, 65.3), 2.8, 2.8);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(x + 0.6, 65.3), 1.3, 1.3);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(x - 0.4, 64.2), 0.7, 0.7);
    }

    QPainterPath nose;
    nose.moveTo(50, 64);
    nose.cubicTo(47, 72, 43, 77, 45, 80);
    nose.cubicTo(48, 83, 53, 83, 56, 80);
    nose.cubicTo(57, 77, 53, 73, 50, 64);
    ink::outlined(p, nose, 0.9, QColor(232, 174, 134), outline);

    // smile with teeth, under a curly moustache
    QPainterPath mouth;
    mouth.moveTo(37, 87);
    mouth.quadTo(50, 92, 63, 87);
    mouth.quadTo(58, 100, 50, 100);
    mouth.quadTo(42, 100, 37, 87);
    ink::outlined(p, mouth, 1, QColor(150, 40, 40), outline);
    QPainterPath teeth;
    teeth.moveTo(39, 88);
    teeth.quadTo(50, 93, 61, 88);
    teeth.lineTo(60, 91);
    teeth.quadTo(50, 95, 40, 91);
    teeth.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(teeth);

    QPainterPath tache;
    tache.moveTo(50, 83);
    tache.cubicTo(56, 80, 64, 81, 68, 86);
    tache.cubicTo(71, 88, 74, 85, 72, 82);
    tache.cubicTo(75, 85, 73, 91, 67, 89);
    tache.cubicTo(61, 88, 56, 86, 50, 88);
    tache.cubicTo(44, 86, 39, 88, 33, 89);
    tache.cubicTo(27, 91, 25, 85, 28, 82);
    tache.cubicTo(26, 85, 29, 88, 32, 86);
    tache.cubicTo(36, 81, 44, 80, 50, 83);
    ink::outlined(p, tache, 0.8, hair, outline);
}
