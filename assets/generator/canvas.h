#pragma once

#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>
#include <functional>
#include <map>
#include <vector>

using DrawFn = std::function<void(QPainter &)>;

// Draws in logical pixels; scale only changes the resolution, never the layout.
QImage renderVector(QSize logical, qreal scale, const DrawFn &draw,
                    QImage::Format format = QImage::Format_RGB32);

// Pixel art: one string per row, one character per pixel.
struct PixelArt {
    std::vector<const char *> rows;
    std::map<char, QRgb> palette; // qRgba(0,0,0,0) for see-through
};

// Each grid pixel becomes a scale x scale block (nearest neighbour).
QImage renderPixels(const PixelArt &art, int scale);
// Same, but as a palette image (keeps the colour count small).
QImage renderPixelsIndexed(const PixelArt &art, int scale);

// Windows icon with one entry per image (PNG for 256, DIB below).
bool writeIco(const QString &path, const QList<QImage> &images);
