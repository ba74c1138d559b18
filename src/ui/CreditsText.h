#pragma once

#include <string>
#include <vector>

namespace credits {

inline constexpr char16_t Separator[] = u" - ";

// The segments in the order they scroll by.
std::vector<std::u16string> segments();

// Every segment followed by the separator, the last one too, so the end joins the start.
std::u16string text();

} // namespace credits
