#pragma once

#include <string>
#include <string_view>

// The program's texts are UTF-16, as the window systems want them; descriptions of
// failures arrive as UTF-8.
namespace text {

// Invalid UTF-8 is read as Windows-1252, as phrase files are.
std::u16string fromUtf8(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);

} // namespace text
