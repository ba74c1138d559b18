#include "Layout.h"

namespace layout {
namespace {

int halfRoundedDown(int value)
{
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}

Control topmostAt(Point p, Size photo, bool onlyTakingMouse)
{
    for (const ControlLayout &entry : Controls) {
        Rect place = entry.place;
        if (entry.id == Control::imgCazzaro)
            place = {place.x, place.y, photo.width, photo.height};
        if ((entry.takesMouse || !onlyTakingMouse) && place.contains(p))
            return entry.id;
    }
    return Control::None;
}

} // namespace

const ControlLayout &of(Control control)
{
    for (const ControlLayout &entry : Controls) {
        if (entry.id == control)
            return entry;
    }
    return Controls.back();
}

Control hitTest(Point p, Size photo)
{
    return topmostAt(p, photo, true);
}

Control shownAt(Point p, Size photo)
{
    return topmostAt(p, photo, false);
}

Pointer pointerAt(Point p, Size photo)
{
    const Control control = hitTest(p, photo);
    return control == Control::None ? Pointer::Arrow : of(control).pointer;
}

Point centredTopLeft(Rect available, Size size)
{
    return {available.x + halfRoundedDown(available.width - size.width),
            available.y + halfRoundedDown(available.height - size.height)};
}

} // namespace layout
