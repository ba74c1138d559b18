// What Windows tells of the program, for tests/e2e/run-wine-conditions.sh. "window": the main window's styles, whether
// it is active, each box's owner and button; "version EXE": as Explorer reads it; "hold FILE": open for writing till stdin ends;
// "box": each box's caption, owner, icon, button and text, read from its controls; "phrase": the phrase on show, as a
// screen reader names it; "dpi N": WM_DPICHANGED to N, suggesting round(550 N/96) x round(304 N/96) about the same centre; "metric INDEX DPI": GetSystemMetricsForDpi; "systemdpi": the DPI that programs started now are given.
#include <windows.h>
#include <oleacc.h>
#include <cstdio>
#include <string>
#include <vector>
// A box's icon, told by the system's icons drawn over its background: its handle is the program's.
static std::vector<DWORD> pixelsOf(RECT r, HICON icon, DWORD back)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB}};
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr), screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<DWORD> pixels;
    if (HGDIOBJ old = bitmap ? SelectObject(dc, bitmap) : nullptr) {
        HBRUSH brush = CreateSolidBrush(RGB(back >> 16 & 255, back >> 8 & 255, back & 255));
        const RECT all{0, 0, w, h};
        icon ? FillRect(dc, &all, brush) && DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL) : BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        for (int i = 0; i < w * h; i++)
            pixels.push_back(static_cast<DWORD *>(bits)[i] & 0xffffff);
        DeleteObject(brush), SelectObject(dc, old), DeleteObject(bitmap);
    }
    return ReleaseDC(nullptr, screen), DeleteDC(dc), pixels;
}
static const wchar_t *iconKind(HWND box)
{
    RECT r{};
    for (HWND child = nullptr; (child = FindWindowExW(box, child, L"Static", nullptr));)
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && GetWindowRect(child, &r)) {
            const std::vector<DWORD> shown = pixelsOf(r, nullptr, 0); // its corner: the background, clear in every icon
            for (auto [name, id] : {std::pair{L"error", IDI_ERROR}, {L"warning", IDI_WARNING}, {L"information", IDI_INFORMATION}, {L"question", IDI_QUESTION}})
                if (!shown.empty() && pixelsOf(r, LoadIconW(nullptr, id), shown[0]) == shown)
                    return name;
            return L"other";
        }
    return L"none";
}
int wmain(int argc, wchar_t **argv)
{
    const std::wstring what = argc > 1 ? argv[1] : L"", file = argc > 2 ? argv[2] : L"";
    if (what != L"systemdpi") // the screen's own pixels, which Wine 10 scales for a program unaware of the DPI
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    HWND main = FindWindowW(L"frmCiarlatronix", nullptr), box = nullptr;
    if (what == L"window")
        wprintf(L"style %08lx %08lx foreground %d\n", GetWindowLongW(main, GWL_STYLE), GetWindowLongW(main, GWL_EXSTYLE), GetForegroundWindow() == main);
    for (wchar_t ok[16]; what == L"window" && (box = FindWindowExW(nullptr, box, L"#32770", L"Ciarlatronix"));)
        wprintf(L"box owner %ls button %ls\n", !GetWindow(box, GW_OWNER) ? L"none" : GetWindow(box, GW_OWNER) == main ? L"main" : L"other",
                GetDlgItemTextW(box, IDOK, ok, 16) ? ok : L"");
    for (wchar_t caption[64], text[2048], label[32]; what == L"box" && (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
        GetWindowTextW(box, caption, 64);
        text[0] = 0;
        for (HWND child = nullptr; (child = FindWindowExW(box, child, L"Static", nullptr));)
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON && GetWindowTextLengthW(child) > 0)
                GetWindowTextW(child, text, 2048);
        std::wstring buttons; // the visible ones, by their labels
        for (HWND child = nullptr; (child = FindWindowExW(box, child, L"Button", nullptr));)
            if (IsWindowVisible(child) && GetWindowTextW(child, label, 32) >= 0)
                buttons += (buttons.empty() ? L"" : L",") + std::wstring(label);
        wprintf(L"caption %ls owner %ls icon %ls buttons %ls text %ls\n", caption,
                !GetWindow(box, GW_OWNER) ? L"none" : GetWindow(box, GW_OWNER) == main ? L"main" : L"other", iconKind(box),
                buttons.c_str(), text);
    }
    IAccessible *window = nullptr; // the part a screen reader describes as the phrase of the moment
    if (long count = 0; what == L"phrase" && SUCCEEDED(CoInitialize(nullptr)) && SUCCEEDED(AccessibleObjectFromWindow(main,
            DWORD(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void **>(&window))) && SUCCEEDED(window->get_accChildCount(&count)))
        for (VARIANT child{}; count > 0; --count) {
            BSTR description = nullptr, name = nullptr;
            child.vt = VT_I4, child.lVal = count;
            if (SUCCEEDED(window->get_accDescription(child, &description)) && description && SUCCEEDED(window->get_accName(child, &name))
                && std::wstring(description).rfind(L"La cazzata del momento", 0) == 0)
                wprintf(L"%ls\n", name ? name : L"");
            SysFreeString(description), SysFreeString(name);
        }
    if (what == L"systemdpi" && SetProcessDPIAware()) // the oldest way, which Wine 8 knows as well
        wprintf(L"%d\n", GetDeviceCaps(GetDC(nullptr), LOGPIXELSY));
    if (what == L"metric")
        wprintf(L"%d\n", GetSystemMetricsForDpi(_wtoi(file.c_str()), UINT(_wtoi(argc > 3 ? argv[3] : L"96"))));
    if (RECT r{}, *remote = nullptr; what == L"dpi" && GetWindowRect(main, &r)) { // the rectangle must lie in the program's memory
        const int dpi = _wtoi(file.c_str()), w = MulDiv(550, dpi, 96), h = MulDiv(304, dpi, 96), x = (r.left + r.right - w) / 2, y = (r.top + r.bottom - h) / 2;
        DWORD pid = 0;
        HANDLE process = GetWindowThreadProcessId(main, &pid) ? OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid) : nullptr;
        if (r = {x, y, x + w, y + h}; process && (remote = static_cast<RECT *>(VirtualAllocEx(process, nullptr, sizeof r, MEM_COMMIT, PAGE_READWRITE))) && WriteProcessMemory(process, remote, &r, sizeof r, nullptr))
            wprintf(L"suggested %d %d %d %d answer %d\n", x, y, w, h, int(SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(remote))));
    }
    std::string block(what == L"version" ? GetFileVersionInfoSizeW(file.c_str(), nullptr) : 0, '\0');
    UINT size = 0; WORD *lang = nullptr; VS_FIXEDFILEINFO *fixed = nullptr;
    if (!block.empty() && GetFileVersionInfoW(file.c_str(), 0, DWORD(block.size()), block.data())
        && VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void **>(&lang), &size)
        && VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &size))
        wprintf(L"Translation %04x%04x\nFixed %lx.%lx %lx.%lx %lx %lx %lx\n", lang[0], lang[1], fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                fixed->dwProductVersionMS, fixed->dwProductVersionLS, fixed->dwFileOS, fixed->dwFileType, fixed->dwFileFlags);
    for (const wchar_t *name : {L"FileDescription", L"ProductName", L"CompanyName", L"FileVersion", L"ProductVersion", L"OriginalFilename",
                                L"LegalCopyright", L"InternalName"}) {
        wchar_t path[80], *value = nullptr;
        if (lang && swprintf(path, 80, L"\\StringFileInfo\\%04x%04x\\%ls", lang[0], lang[1], name) > 0)
            wprintf(L"%ls=%ls\n", name, VerQueryValueW(block.data(), path, reinterpret_cast<void **>(&value), &size) ? value : L"(none)");
    }
    HANDLE held = what == L"hold" ? CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
    if (held) std::printf(held == INVALID_HANDLE_VALUE ? "not held\n" : "held\n"), std::fflush(stdout);
    while (held && held != INVALID_HANDLE_VALUE && std::getchar() != EOF) {}
    return held && held != INVALID_HANDLE_VALUE ? !CloseHandle(held) : 0;
}
