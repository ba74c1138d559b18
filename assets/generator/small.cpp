#include "ink.h"
#include "pictures.h"

#include <QFont>
#include <QFontMetricsF>

// Glyphs as paths, so the 2x file is the same layout at twice the detail.
static void textLine(QPainter &p, const QFont &font, qreal x, qreal baseline,
                     const QString &text)
{
    QPainterPath path;
    path.addText(x, baseline, font, text);
    p.fillPath(path, Qt::black);
}

void drawLink(QPainter &p)
{
    QFont sans;
    sans.setFamilies({"DejaVu Sans", "Nimbus Sans"});
    sans.setPixelSize(10);
    textLine(p, sans, 3, 10, "Un'esclusiva da:");

    QFont mono;
    mono.setFamilies({"Nimbus Mono PS", "DejaVu Sans Mono"});
    mono.setStyleHint(QFont::TypeWriter);
    mono.setBold(true);
    mono.setPixelSize(16);
    const qreal step = 17;
    qreal y = 28;
    for (const char *part : {"http://", "ciarlatronix", ".example/"}) {
        textLine(p, mono, 3, y, part);
        y += step;
    }
}

void drawClose(QPainter &p)
{
    // a staircase of whole pixels: antialiased 1 px diagonals come out grey
    for (int i = 1; i <= 8; ++i) {
        p.fillRect(QRectF(i, i, 1, 1), Qt::black);
        p.fillRect(QRectF(9 - i, i, 1, 1), Qt::black);
    }
}
