#include "Artwork.h"

#include "WinText.h"

namespace artwork {

HBITMAP picture(HINSTANCE instance, const char *name)
{
    return static_cast<HBITMAP>(
        LoadImageW(instance, wintext::wide(std::string_view(name)).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HBITMAP resized(HBITMAP bitmap, layout::Size size)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, size.width, size.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    const HGDIOBJ previousFrom = SelectObject(from, bitmap), previousTo = SelectObject(to, copy);
    const layout::Size natural = sizeOf(bitmap);
    // HALFTONE averages the source pixels under each target pixel.
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, size.width, size.height, from, 0, 0, natural.width, natural.height, SRCCOPY);
    SelectObject(from, previousFrom);
    SelectObject(to, previousTo);
    DeleteDC(from);
    DeleteDC(to);
    return copy;
}

HBITMAP pictureAt(HINSTANCE instance, const char *name, layout::Size size)
{
    // Run-length coded, which LoadImage does not take: SetDIBits decodes it.
    const std::wstring resource = wintext::wide(std::string_view(name)) + L"2x";
    HRSRC found = FindResourceW(instance, resource.c_str(), MAKEINTRESOURCEW(2)); // RT_BITMAP
    const auto *info = found ? static_cast<const BITMAPINFO *>(LockResource(LoadResource(instance, found))) : nullptr;
    if (!info)
        return nullptr;
    const BITMAPINFOHEADER &header = info->bmiHeader;
    const auto *bits = reinterpret_cast<const BYTE *>(info) + header.biSize + header.biClrUsed * sizeof(RGBQUAD);
    BITMAPINFO plain{};
    plain.bmiHeader = {sizeof plain.bmiHeader, header.biWidth, header.biHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *pixels = nullptr;
    HBITMAP large = CreateDIBSection(nullptr, &plain, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HDC screen = GetDC(nullptr);
    SetDIBits(screen, large, 0, UINT(header.biHeight), bits, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    HBITMAP picture = resized(large, size);
    DeleteObject(large);
    return picture;
}

int systemMetric(int index, int dpi)
{
    using ForDpi = int(WINAPI *)(int, UINT);
    static const auto forDpi = reinterpret_cast<ForDpi>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
    return forDpi ? forDpi(index, UINT(dpi)) : GetSystemMetrics(index);
}

HICON icon(HINSTANCE instance, int size)
{
    return static_cast<HICON>(LoadImageW(instance, IconName, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

HCURSOR pointer(HINSTANCE instance, layout::Pointer pointer, int dpi)
{
    if (pointer == layout::Pointer::Arrow)
        return LoadCursorW(nullptr, IDC_ARROW);
    const int size = systemMetric(SM_CXCURSOR, dpi);
    const bool large = size > 32;
    const wchar_t *name = pointer == layout::Pointer::Hand ? (large ? L"HAND2X" : L"HAND")
                                                           : (large ? L"ICONPOINTER2X" : L"ICONPOINTER");
    return static_cast<HCURSOR>(LoadImageW(instance, name, IMAGE_CURSOR, size, size, 0));
}

layout::Size sizeOf(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
        return {};
    return {info.bmWidth, info.bmHeight};
}

} // namespace artwork
