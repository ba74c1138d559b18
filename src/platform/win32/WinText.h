#pragma once

#include <string>
#include <string_view>

// Text as Windows wants it: wide strings for the window, the ANSI code page for the two
// old A functions, UTF-8 for the core's failure descriptions.
namespace wintext {

std::wstring wide(std::u16string_view text);
std::wstring wide(std::string_view utf8);
std::u16string utf16(std::wstring_view text);
std::string utf8(std::wstring_view text);

// The system's own description of an error code or HRESULT, in UTF-8 without the line end;
// empty when the system has none.
std::string systemMessage(unsigned long code);

// The last error's description, or "Error N" when the system has none.
std::string lastErrorText();
// Throws phrases::Failure with lastErrorText().
[[noreturn]] void failWithLastError();

// The text in the ANSI code page; throws phrases::Failure in the system's words when a
// character has no exact equivalent there.
std::string ansi(std::wstring_view text);

} // namespace wintext
