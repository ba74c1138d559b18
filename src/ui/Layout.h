#pragma once

#include <array>
#include <string_view>
#include <utility>
#include <vector>

// Where everything sits in the window, what each control shows and which pointer it wears.
// Positions come in twips, 15 to a pixel, the unit the layout was drawn in; pictures take
// the size of their artwork.
namespace layout {

struct Point
{
    int x = 0;
    int y = 0;
};

struct Size
{
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(Size a, Size b) { return a.width == b.width && a.height == b.height; }
};

struct Rect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr bool contains(Point p) const
    {
        return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height;
    }
    friend constexpr bool operator==(Rect a, Rect b)
    {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
};

constexpr Rect fromTwips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

enum class Control { txtCrediti, Timer1, Image2, Label2, Label1, imgClose, imgCazzaro, imgFumetto, Image1, None };
enum class Kind { TextBox, Timer, Picture, Label };
enum class Pointer { Arrow, Hand, Icon };

struct ControlLayout
{
    Control id;
    const char *name;
    Kind kind;
    Rect place;          // for pictures, the top-left corner and the artwork's size
    const char *artwork; // the picture it shows as designed, or nullptr
    Pointer pointer;
    bool tooltip;        // wears PhraseTooltip
    bool takesMouse;     // the disabled credits box and the timer take none
};

inline constexpr Size WindowSize{550, 304};
inline constexpr Point HandHotSpot{13, 4};
inline constexpr int CreditsTickMs = 200;
inline constexpr float BaseFontPoints = 8.0f;
inline constexpr std::u16string_view PhraseTooltip = u"Clicca qui per una nuova cazzata !";
inline constexpr std::u16string_view CreditsPlaceholder = u"Credits";
inline constexpr std::u16string_view PhrasePlaceholder = u"Label1";

// From the top of the stack down; the controls are created in this order.
inline constexpr std::array<ControlLayout, 9> Controls{{
    {Control::txtCrediti, "txtCrediti", Kind::TextBox, fromTwips(4440, 3960, 3015, 195), nullptr, Pointer::Arrow, false, false},
    {Control::Timer1, "Timer1", Kind::Timer, {}, nullptr, Pointer::Arrow, false, false},
    {Control::Image2, "Image2", Kind::Picture, fromTwips(480, 480, 1815, 1020), "link", Pointer::Hand, false, true},
    {Control::Label2, "Label2", Kind::Label, fromTwips(5520, 3840, 855, 375), nullptr, Pointer::Hand, false, true},
    {Control::Label1, "Label1", Kind::Label, fromTwips(2760, 720, 4365, 1335), nullptr, Pointer::Icon, true, true},
    {Control::imgClose, "imgClose", Kind::Picture, fromTwips(8040, 75, 150, 150), "close", Pointer::Hand, false, true},
    {Control::imgCazzaro, "imgCazzaro", Kind::Picture, fromTwips(720, 1800, 1500, 2250), "faccia", Pointer::Icon, true, true},
    {Control::imgFumetto, "imgFumetto", Kind::Picture, fromTwips(2400, 480, 5025, 2085), "fumetto", Pointer::Icon, true, true},
    {Control::Image1, "Image1", Kind::Picture, fromTwips(3000, 2160, 4500, 1950), "logo", Pointer::Arrow, false, true},
}};

const ControlLayout &of(Control control);

// The topmost control that takes mouse input under p, or Control::None for the bare
// window. The photo can make imgCazzaro larger than designed.
Control hitTest(Point p, Size photo);
// The topmost control drawn under p, whether it takes the mouse or not: what is seen there.
Control shownAt(Point p, Size photo);
Pointer pointerAt(Point p, Size photo);

// Where the pointer finds a control that wears the tooltip, as rectangles: each such control's
// place less those of the controls above it that take the mouse and wear none.
std::vector<std::pair<Control, Rect>> tooltipAreas(Size photo);

// From design pixels to a screen's pixels at dpi (96: as designed). Each edge is scaled on its
// own, round(v * dpi / 96) with halves up, so controls that touch in the design still touch and
// the window is round(550 s) x round(304 s).
int scaled(int designPixels, int dpi);
Rect scaled(Rect r, int dpi);
Size scaled(Size s, int dpi);
// The design pixel whose scaled span holds the screen pixel p: hit tests in the design's terms
// find the control whose scaled place holds p.
Point unscaled(Point p, int dpi);

// Top-left corner that centres size in the available area, halves rounded down.
Point centredTopLeft(Rect available, Size size);

} // namespace layout
