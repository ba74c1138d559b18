#pragma once

#include "Layout.h"

#include <array>

// The keyboard's way round the window. The controls that take a click take the focus, in
// the order they sit: the phrase first, standing for the photo and the balloon too, which do
// what it does; then Credits, the link and the close mark. The focus mark shows only once the
// keyboard has been used, so a mouse user sees the window exactly as drawn.
namespace focus {

inline constexpr std::array<layout::Control, 4> Ring{
    layout::Control::Label1, layout::Control::Label2, layout::Control::Image2, layout::Control::imgClose};

enum class Key { Tab, BackTab, Space, Enter, Other };

bool takesFocus(layout::Control control);

// Where the focus goes when the control is clicked: itself when it is in the ring, the phrase
// for the photo and the balloon, Control::None where it stays put.
layout::Control afterClick(layout::Control control);

// The dotted mark runs round the control one pixel outside its place, hiding none of it.
layout::Rect markAround(layout::Control control);

// What a key or a click did.
struct Step
{
    bool handled = false;     // the window's own key; any other is left to the system
    layout::Control press = layout::Control::None; // to run through the event table as a click
    bool focusMoved = false;
    bool markChanged = false;
};

class Keyboard
{
public:
    layout::Control focused() const { return focused_; }
    bool markShown() const { return markShown_; }

    // Tab and Shift+Tab move round the ring; Space and Enter press the focused control. A key
    // held down repeats its moves, but presses once: it is one new phrase, not a flood of them.
    Step key(Key key, bool autoRepeat = false);
    // A click moves the focus as afterClick says, and leaves the mark as it was.
    Step click(layout::Control control);

private:
    layout::Control focused_ = Ring.front();
    bool markShown_ = false;
};

} // namespace focus
