#pragma once

#include <QString>
#include <QStringList>

namespace credits {

inline constexpr char Separator[] = " - ";

// The segments in the order they scroll by.
QStringList segments();

// Every segment followed by the separator, the last one too, so the end joins the start.
QString text();

} // namespace credits
