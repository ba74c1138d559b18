#pragma once

#include "Layout.h"

// Turns presses and releases of the left button into clicks, the one event the controls
// raise: a press and a release on the same control. The second press of a double click
// starts no click, so a double click is one click.
class ClickTracker
{
public:
    void press(layout::Control control, bool secondOfDoubleClick);
    // The control clicked, or Control::None.
    layout::Control release(layout::Control under);

private:
    layout::Control pressed_ = layout::Control::None;
};
