#include "WinText.h"

#include "phrases/Failure.h"

#include <windows.h>

namespace wintext {

std::wstring wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring wide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring result(std::size_t(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), result.data(), size);
    return result;
}

std::u16string utf16(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

std::string utf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(std::size_t(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), result.data(), size, nullptr, nullptr);
    return result;
}

std::string systemMessage(unsigned long code)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", text ? length : 0);
    LocalFree(text);
    // The system ends its text with a line end, which the report's closing quote must not follow.
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return utf8(message);
}

std::string lastErrorText()
{
    const DWORD code = GetLastError();
    const std::string text = systemMessage(code);
    return text.empty() ? "Error " + std::to_string(code) : text;
}

void failWithLastError()
{
    throw phrases::Failure(lastErrorText());
}

std::string ansi(std::wstring_view text)
{
    if (text.empty())
        return {};
    // With UTF-8 as the ANSI code page every character has its bytes, but a lone surrogate has none.
    const UINT codePage = GetACP();
    const bool utf8Page = codePage == CP_UTF8;
    const DWORD flags = utf8Page ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL *lossyOut = utf8Page ? nullptr : &lossy;
    const int size = WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), nullptr, 0, nullptr, lossyOut);
    if (size <= 0 || lossy)
        throw phrases::Failure(systemMessage(ERROR_NO_UNICODE_TRANSLATION));
    std::string result(std::size_t(size), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), result.data(), size, nullptr, lossyOut);
    return result;
}

} // namespace wintext
