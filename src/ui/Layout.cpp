#include "Layout.h"

#include <algorithm>

namespace layout {
namespace {

int halfRoundedDown(int value)
{
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}

int floorDivided(long long value, int by)
{
    return int(value >= 0 ? value / by : -((by - 1 - value) / by));
}

Rect placeOf(const ControlLayout &entry, Size photo)
{
    const Rect place = entry.place;
    return entry.id == Control::imgCazzaro ? Rect{place.x, place.y, photo.width, photo.height} : place;
}

// r less cut: the bands above and below it, then the parts to its left and right.
void subtract(Rect r, Rect cut, std::vector<Rect> &pieces)
{
    const int left = std::max(r.x, cut.x), right = std::min(r.x + r.width, cut.x + cut.width);
    const int top = std::max(r.y, cut.y), bottom = std::min(r.y + r.height, cut.y + cut.height);
    if (left >= right || top >= bottom) {
        pieces.push_back(r);
        return;
    }
    if (top > r.y)
        pieces.push_back({r.x, r.y, r.width, top - r.y});
    if (bottom < r.y + r.height)
        pieces.push_back({r.x, bottom, r.width, r.y + r.height - bottom});
    if (left > r.x)
        pieces.push_back({r.x, top, left - r.x, bottom - top});
    if (right < r.x + r.width)
        pieces.push_back({right, top, r.x + r.width - right, bottom - top});
}

Control topmostAt(Point p, Size photo, bool onlyTakingMouse)
{
    for (const ControlLayout &entry : Controls) {
        if ((entry.takesMouse || !onlyTakingMouse) && placeOf(entry, photo).contains(p))
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

std::vector<std::pair<Control, Rect>> tooltipAreas(Size photo)
{
    std::vector<std::pair<Control, Rect>> areas;
    for (auto entry = Controls.begin(); entry != Controls.end(); ++entry) {
        if (!entry->tooltip)
            continue;
        std::vector<Rect> pieces{placeOf(*entry, photo)};
        // Controls that wear the tooltip too may lie over it: the tip is the same.
        for (auto above = Controls.begin(); above != entry; ++above) {
            if (!above->takesMouse || above->tooltip)
                continue;
            std::vector<Rect> rest;
            for (const Rect &piece : pieces)
                subtract(piece, placeOf(*above, photo), rest);
            pieces = std::move(rest);
        }
        for (const Rect &piece : pieces) {
            if (piece.width > 0 && piece.height > 0)
                areas.emplace_back(entry->id, piece);
        }
    }
    return areas;
}

int scaled(int designPixels, int dpi)
{
    return floorDivided(2LL * designPixels * dpi + 96, 192);
}

Rect scaled(Rect r, int dpi)
{
    const int left = scaled(r.x, dpi), top = scaled(r.y, dpi);
    return {left, top, scaled(r.x + r.width, dpi) - left, scaled(r.y + r.height, dpi) - top};
}

Size scaled(Size s, int dpi)
{
    return {scaled(s.width, dpi), scaled(s.height, dpi)};
}

Point unscaled(Point p, int dpi)
{
    // The largest design pixel d with scaled(d) <= p.
    const auto back = [dpi](int v) { return floorDivided(192LL * v + 95, 2 * dpi); };
    return {back(p.x), back(p.y)};
}

Point centredTopLeft(Rect available, Size size)
{
    return {available.x + halfRoundedDown(available.width - size.width),
            available.y + halfRoundedDown(available.height - size.height)};
}

} // namespace layout
