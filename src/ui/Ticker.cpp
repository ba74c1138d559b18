#include "Ticker.h"

namespace ticker {

QString rotateLeft(const QString &text)
{
    if (text.size() < 2)
        return text;
    return text.mid(1) + text.at(0);
}

} // namespace ticker
