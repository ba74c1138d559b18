#include "Placement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace placement {
namespace {
int halfRoundedDown(int value)
{
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}
} // namespace

QPoint centredTopLeft(const QRect &available, const QSize &size)
{
    return available.topLeft()
           + QPoint(halfRoundedDown(available.width() - size.width()),
                    halfRoundedDown(available.height() - size.height()));
}

QScreen *screenWithPointer()
{
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace placement
