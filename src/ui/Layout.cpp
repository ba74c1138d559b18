#include "Layout.h"

namespace layout {
namespace {

int halfRoundedDown(int value)
{
    return value >= 0 ? value / 2 : -((1 - value) / 2);
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
    for (const ControlLayout &entry : Controls) {
        Rect place = entry.place;
        if (entry.id == Control::imgCazzaro)
            place = {place.x, place.y, photo.width, photo.height};
        if (entry.takesMouse && place.contains(p))
            return entry.id;
    }
    return Control::None;
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
