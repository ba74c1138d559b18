#include "WinStartup.h"

#include "WinShell.h"
#include "WinText.h"
#include "common/ProgramInfo.h"
#include "phrases/Failure.h"

#include <memory>

#include <windows.h>

namespace winstartup {
namespace {

// The program's own name ends at its closing quote when it starts with one, else at the
// first blank: a line with nothing after it needs no shell32 to split, which keeps a plain
// start as quick as before.
bool hasArguments(const wchar_t *line)
{
    if (*line == L'"') {
        line = wcschr(line + 1, L'"');
        if (!line)
            return false;
        ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t')
            ++line;
    }
    while (*line == L' ' || *line == L'\t')
        ++line;
    return *line != L'\0';
}

struct LocalFreer
{
    void operator()(LPWSTR *p) const { LocalFree(p); }
};

// Windows ends its lines with CR LF, the console and Notepad alike.
std::string withCrLf(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

void write(HANDLE out, const std::string &text)
{
    if (!out || out == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring wide = wintext::wide(std::string_view(text));
        WriteConsoleW(out, wide.data(), DWORD(wide.size()), &written, nullptr);
    } else {
        WriteFile(out, text.data(), DWORD(text.size()), &written, nullptr);
    }
}

} // namespace

std::vector<std::string> arguments()
{
    const wchar_t *line = GetCommandLineW();
    if (!hasArguments(line))
        return {};
    using Split = LPWSTR *(WINAPI *)(LPCWSTR, int *);
    std::string error;
    const auto split = reinterpret_cast<Split>(win32::systemEntry("shell32.dll", "CommandLineToArgvW", error));
    if (!split)
        throw phrases::Failure(error);
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> argv(split(line, &count));
    if (!argv)
        wintext::failWithLastError();
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(wintext::utf8(argv.get()[i]));
    return arguments;
}

std::filesystem::path applicationFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            wintext::failWithLastError();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

std::filesystem::path userFolder()
{
    std::wstring appData(MAX_PATH, L'\0');
    DWORD length = GetEnvironmentVariableW(L"APPDATA", appData.data(), DWORD(appData.size()));
    if (length >= appData.size()) {
        appData.resize(length);
        length = GetEnvironmentVariableW(L"APPDATA", appData.data(), DWORD(appData.size()));
    }
    appData.resize(length < appData.size() ? length : 0);
    return datafiles::appDataUserFolder(appData);
}

void answer(const commandline::Outcome &outcome)
{
    const bool error = outcome.action == commandline::Outcome::Action::Error;
    const std::string text = withCrLf(outcome.text);
    // Output sent to a file or a pipe is there already; a console the program was started
    // from has to be joined first.
    HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if ((!out || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        // Read access too: without it the console's mode cannot be asked, and the text would
        // go out as bytes in the console's code page.
        out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
        write(out, "\r\n" + text);
        if (out != INVALID_HANDLE_VALUE)
            CloseHandle(out);
        // Let go of it before the box: Ctrl+C at the prompt is no longer the program's.
        FreeConsole();
    } else {
        write(out, text);
    }
    MessageBoxW(nullptr, wintext::wide(std::string_view(outcome.text)).c_str(),
                wintext::wide(std::string_view(program::Title)).c_str(),
                MB_OK | (error ? MB_ICONSTOP : MB_ICONINFORMATION));
}

} // namespace winstartup
