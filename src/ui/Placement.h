#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;

namespace placement {

// Top-left corner that centres size in the available area, rounded down.
QPoint centredTopLeft(const QRect &available, const QSize &size);

// The screen under the pointer, or the primary screen.
QScreen *screenWithPointer();

} // namespace placement
