#pragma once

#include <QString>

namespace ticker {

// One step of the credits: the first character goes to the end. Empty and one-character
// texts stay as they are.
QString rotateLeft(const QString &text);

} // namespace ticker
