#pragma once

#include <QCursor>
#include <QPixmap>
#include <QString>

// The pictures built into the program, at double resolution where the screen wants it.
namespace artwork {

QPixmap picture(const QString &name);
QCursor handPointer();
QCursor iconPointer();

} // namespace artwork
