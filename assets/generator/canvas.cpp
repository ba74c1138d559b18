#include "canvas.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>

QImage renderVector(QSize logical, qreal scale, const DrawFn &draw, QImage::Format format)
{
    QImage img(qRound(logical.width() * scale), qRound(logical.height() * scale), format);
    img.fill(format == QImage::Format_ARGB32 ? Qt::transparent : Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    draw(p);
    p.end();
    return img;
}

static int artWidth(const PixelArt &art)
{
    return art.rows.empty() ? 0 : int(qstrlen(art.rows.front()));
}

QImage renderPixels(const PixelArt &art, int scale)
{
    const int w = artWidth(art), h = int(art.rows.size());
    QImage img(w * scale, h * scale, QImage::Format_ARGB32);
    for (int y = 0; y < h * scale; ++y)
        for (int x = 0; x < w * scale; ++x)
            img.setPixel(x, y, art.palette.at(art.rows[y / scale][x / scale]));
    return img;
}

QImage renderPixelsIndexed(const PixelArt &art, int scale)
{
    const int w = artWidth(art), h = int(art.rows.size());
    QImage img(w * scale, h * scale, QImage::Format_Indexed8);
    QList<QRgb> table;
    std::map<char, int> index;
    for (const auto &[key, rgb] : art.palette) {
        index[key] = int(table.size());
        table << rgb;
    }
    img.setColorTable(table);
    for (int y = 0; y < h * scale; ++y)
        for (int x = 0; x < w * scale; ++x)
            img.setPixel(x, y, index.at(art.rows[y / scale][x / scale]));
    return img;
}

// Classic icon entry: BGRA rows bottom-up followed by a 1-bit AND mask,
// which old Windows tools still expect for the small sizes.
static QByteArray dibEntry(const QImage &src)
{
    const QImage img = src.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint32(40) << qint32(w) << qint32(h * 2) << quint16(1) << quint16(32)
      << quint32(0) << quint32(w * h * 4 + maskStride * h)
      << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(x, y);
            s << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(qAlpha(c));
        }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(img.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        s.writeRawData(row.constData(), row.size());
    }
    return out;
}

static QByteArray pngEntry(const QImage &img)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.convertToFormat(QImage::Format_ARGB32).save(&buf, "PNG");
    return out;
}

bool writeIco(const QString &path, const QList<QImage> &images)
{
    QList<QByteArray> blobs;
    for (const QImage &img : images)
        blobs << (img.width() >= 256 ? pngEntry(img) : dibEntry(img));

    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QDataStream s(&f);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = 6 + 16 * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const QImage &img = images[i];
        // 0 means 256 in the one-byte size fields
        s << quint8(img.width() >= 256 ? 0 : img.width())
          << quint8(img.height() >= 256 ? 0 : img.height())
          << quint8(0) << quint8(0) << quint16(1) << quint16(32)
          << quint32(blobs[i].size()) << offset;
        offset += quint32(blobs[i].size());
    }
    for (const QByteArray &b : blobs)
        s.writeRawData(b.constData(), b.size());
    return s.status() == QDataStream::Ok;
}
