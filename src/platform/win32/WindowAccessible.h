#pragma once

#include "ui/Layout.h"

#include <functional>
#include <string>

#include <windows.h>

// What the window tells a screen reader through Active Accessibility: the client area, with
// each control of the core's table as a simple child element (child id n is the table's
// n-th entry). The object is made at the first request; a reader may keep it after the
// window is gone, so it is cut off from the window when this goes.
class WindowAccessible
{
public:
    struct Window
    {
        HWND handle;
        std::function<std::u16string()> phrase;  // as drawn, before the ampersand rule
        std::function<std::u16string()> credits;
        std::function<layout::Size()> photo;
        std::function<int()> dpi; // design pixels to the window's
        std::function<void(layout::Control)> press; // runs the control's click, later
        std::function<layout::Control()> focused;   // Control::None while the window has not the keyboard
    };

    explicit WindowAccessible(Window window);
    ~WindowAccessible();
    WindowAccessible(const WindowAccessible &) = delete;
    WindowAccessible &operator=(const WindowAccessible &) = delete;

    // The answer to WM_GETOBJECT: the object for OBJID_CLIENT, 0 for anything else.
    LRESULT answer(WPARAM flags, LPARAM objectId);
    // Tells readers that a control's name changed, even to the same text.
    void nameChanged(layout::Control control) const;
    // Tells readers where the keyboard focus is now.
    void focusChanged(layout::Control control) const;

private:
    class Client;
    Window window_;
    Client *client_ = nullptr;
};
