#pragma once

#include "ui/Layout.h"

#include <windows.h>

// The artwork built into the exe: pictures by their layout names, the two pointers and the icon.
namespace artwork {

// The resource names the script gives them.
inline constexpr wchar_t IconName[] = L"IDI_ICON1";
inline constexpr char BackdropName[] = "frame";

// A picture resource as a bitmap of its natural size; the caller owns it.
HBITMAP picture(HINSTANCE instance, const char *name);
// The application icon at the given size.
HICON icon(HINSTANCE instance, int size);
// The pointer a control wears; shared, never destroyed.
HCURSOR pointer(HINSTANCE instance, layout::Pointer pointer);

layout::Size sizeOf(HBITMAP bitmap);

} // namespace artwork
