#include "ClickTracker.h"

void ClickTracker::press(layout::Control control, bool secondOfDoubleClick)
{
    pressed_ = secondOfDoubleClick ? layout::Control::None : control;
}

layout::Control ClickTracker::release(layout::Control under)
{
    const layout::Control clicked = pressed_ == under ? pressed_ : layout::Control::None;
    pressed_ = layout::Control::None;
    return clicked;
}
