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
// A picture for a screen above 96 DPI: its @2x drawing reduced to size with the system's
// filtering; the caller owns it.
HBITMAP pictureAt(HINSTANCE instance, const char *name, layout::Size size);
// A copy of bitmap smoothly stretched to size; the caller owns it.
HBITMAP resized(HBITMAP bitmap, layout::Size size);
// The application icon at the given size.
HICON icon(HINSTANCE instance, int size);
// The pointer a control wears at the system's pointer size for dpi, from the larger drawing
// above 32 pixels; the caller destroys it, except the arrow, which is shared.
HCURSOR pointer(HINSTANCE instance, layout::Pointer pointer, int dpi);
// What GetSystemMetricsForDpi answers, or GetSystemMetrics on systems without it.
int systemMetric(int index, int dpi);

layout::Size sizeOf(HBITMAP bitmap);

} // namespace artwork
