#include "Ticker.h"

namespace ticker {

std::u16string rotateLeft(const std::u16string &text)
{
    if (text.size() < 2)
        return text;
    return text.substr(1) + text.front();
}

} // namespace ticker
