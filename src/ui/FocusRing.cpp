#include "FocusRing.h"

#include <algorithm>

namespace focus {

bool takesFocus(layout::Control control)
{
    return std::find(Ring.begin(), Ring.end(), control) != Ring.end();
}

layout::Control afterClick(layout::Control control)
{
    if (control == layout::Control::imgCazzaro || control == layout::Control::imgFumetto)
        return layout::Control::Label1;
    return takesFocus(control) ? control : layout::Control::None;
}

layout::Rect markAround(layout::Control control)
{
    const layout::Rect place = layout::of(control).place;
    return {place.x - 1, place.y - 1, place.width + 2, place.height + 2};
}

Step Keyboard::key(Key key, bool autoRepeat)
{
    Step step;
    if (key == Key::Other)
        return step;
    step.handled = true;
    step.markChanged = !markShown_;
    markShown_ = true;
    if (key == Key::Tab || key == Key::BackTab) {
        const auto at = std::size_t(std::find(Ring.begin(), Ring.end(), focused_) - Ring.begin());
        const std::size_t count = Ring.size();
        focused_ = Ring[(key == Key::Tab ? at + 1 : at + count - 1) % count];
        step.focusMoved = true;
    } else if (!autoRepeat) {
        step.press = focused_;
    }
    return step;
}

Step Keyboard::click(layout::Control control)
{
    Step step;
    const layout::Control target = afterClick(control);
    if (target != layout::Control::None && target != focused_) {
        focused_ = target;
        step.focusMoved = true;
    }
    return step;
}

} // namespace focus
