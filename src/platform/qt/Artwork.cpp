#include "Artwork.h"

#include "ui/Layout.h"

#include <QFile>
#include <QGuiApplication>

namespace artwork {

QPixmap picture(const QString &name)
{
    const QString base = QStringLiteral(":/assets/") + name;
    if (qApp && qApp->devicePixelRatio() > 1.0 && QFile::exists(base + QStringLiteral("@2x.png"))) {
        QPixmap sharp(base + QStringLiteral("@2x.png"));
        sharp.setDevicePixelRatio(2.0);
        return sharp;
    }
    return QPixmap(base + QStringLiteral(".png"));
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
