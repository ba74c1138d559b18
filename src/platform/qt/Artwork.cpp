#include "Artwork.h"

#include "ArtworkPixels.h"
#include "ui/Layout.h"

#include <QGuiApplication>
#include <QImage>
#include <cstring>

namespace artwork {
namespace {

const artworkpixels::Picture *find(const QByteArray &name)
{
    for (int i = 0; i < artworkpixels::pictureCount; ++i)
        if (std::strcmp(artworkpixels::pictures[i].name, name.constData()) == 0)
            return &artworkpixels::pictures[i];
    return nullptr;
}

QPixmap fromPixels(const artworkpixels::Picture &picture)
{
    // The image borrows the built-in pixels; the pixmap takes its own copy of them.
    const QImage image(picture.pixels, picture.width, picture.height, picture.width * 4,
                       QImage::Format_ARGB32_Premultiplied);
    return QPixmap::fromImage(image, Qt::NoFormatConversion);
}

} // namespace

QPixmap picture(const QString &name)
{
    const QByteArray base = name.toUtf8();
    if (qApp && qApp->devicePixelRatio() > 1.0) {
        if (const artworkpixels::Picture *sharp = find(base + "@2x")) {
            QPixmap pixmap = fromPixels(*sharp);
            pixmap.setDevicePixelRatio(2.0);
            return pixmap;
        }
    }
    const artworkpixels::Picture *plain = find(base);
    return plain ? fromPixels(*plain) : QPixmap();
}

QCursor handPointer()
{
    return QCursor(picture(QStringLiteral("hand")), layout::HandHotSpot.x, layout::HandHotSpot.y);
}

QCursor iconPointer()
{
    const QPixmap icon = picture(QStringLiteral("icon"));
    const QSize size = icon.deviceIndependentSize().toSize();
    return QCursor(icon, size.width() / 2, size.height() / 2);
}

} // namespace artwork
