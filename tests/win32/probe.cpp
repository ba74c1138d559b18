// What Windows itself tells of the program, for tests/e2e/run-wine-conditions.sh. probe window: the main
// window's styles, whether it is active, the owner and button of each box; probe version EXE: the
// version block as Explorer reads it; probe hold FILE: holds FILE open for writing.
#include <windows.h>
#include <cstdio>
#include <string>
int wmain(int argc, wchar_t **argv)
{
    const std::wstring what = argc > 1 ? argv[1] : L"";
    if (what == L"window") {
        HWND main = FindWindowW(L"frmCiarlatronix", nullptr);
        wprintf(L"style %08lx %08lx foreground %d\n", GetWindowLongW(main, GWL_STYLE), GetWindowLongW(main, GWL_EXSTYLE),
                GetForegroundWindow() == main);
        for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", L"Ciarlatronix"));) {
            wchar_t ok[16] = L"";
            GetDlgItemTextW(box, IDOK, ok, 16);
            HWND owner = GetWindow(box, GW_OWNER);
            wprintf(L"box owner %ls button %ls\n", !owner ? L"none" : owner == main ? L"main" : L"other", ok);
        }
    } else if (what == L"version" && argc > 2) {
        std::string block(GetFileVersionInfoSizeW(argv[2], nullptr), '\0');
        UINT size = 0;
        WORD *lang = nullptr;
        VS_FIXEDFILEINFO *fixed = nullptr;
        if (!GetFileVersionInfoW(argv[2], 0, DWORD(block.size()), block.data())
            || !VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void **>(&lang), &size)
            || !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &size))
            return 1;
        wprintf(L"Translation %04x%04x\nFixed %lx.%lx %lx.%lx %lx %lx %lx\n", lang[0], lang[1], fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                fixed->dwProductVersionMS, fixed->dwProductVersionLS, fixed->dwFileOS, fixed->dwFileType, fixed->dwFileFlags);
        for (const wchar_t *name : {L"FileDescription", L"ProductName", L"CompanyName", L"FileVersion", L"ProductVersion",
                                    L"OriginalFilename", L"LegalCopyright", L"InternalName"}) {
            wchar_t path[80], *value = nullptr;
            swprintf(path, 80, L"\\StringFileInfo\\%04x%04x\\%ls", lang[0], lang[1], name);
            wprintf(L"%ls=%ls\n", name, VerQueryValueW(block.data(), path, reinterpret_cast<void **>(&value), &size) ? value : L"(none)");
        }
    } else if (what == L"hold" && argc > 2) { // until stdin ends; others may read and write meanwhile
        HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        std::printf(file == INVALID_HANDLE_VALUE ? "not held\n" : "held\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) {}
        CloseHandle(file);
    }
    return 0;
}
