#include "Artwork.h"

#include "WinText.h"

namespace artwork {

HBITMAP picture(HINSTANCE instance, const char *name)
{
    return static_cast<HBITMAP>(
        LoadImageW(instance, wintext::wide(std::string_view(name)).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HICON icon(HINSTANCE instance, int size)
{
    return static_cast<HICON>(LoadImageW(instance, IconName, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

HCURSOR pointer(HINSTANCE instance, layout::Pointer pointer)
{
    switch (pointer) {
    case layout::Pointer::Hand: return LoadCursorW(instance, L"HAND");
    case layout::Pointer::Icon: return LoadCursorW(instance, L"ICONPOINTER");
    case layout::Pointer::Arrow: break;
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

layout::Size sizeOf(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
        return {};
    return {info.bmWidth, info.bmHeight};
}

} // namespace artwork
