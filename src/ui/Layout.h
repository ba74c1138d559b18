#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where everything sits in the window. Positions come in twips, 15 to a pixel, the unit
// the layout was drawn in; pictures take the size of their artwork.
namespace layout {

constexpr QRect fromTwips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

constexpr QSize WindowSize(550, 304);

// From the top of the stack down.
constexpr QRect txtCrediti = fromTwips(4440, 3960, 3015, 195);
constexpr QRect Image2 = fromTwips(480, 480, 1815, 1020);
constexpr QRect Label2 = fromTwips(5520, 3840, 855, 375);
constexpr QRect Label1 = fromTwips(2760, 720, 4365, 1335);
constexpr QRect imgClose = fromTwips(8040, 75, 150, 150);
constexpr QRect imgCazzaro = fromTwips(720, 1800, 1500, 2250);
constexpr QRect imgFumetto = fromTwips(2400, 480, 5025, 2085);
constexpr QRect Image1 = fromTwips(3000, 2160, 4500, 1950);

constexpr QPoint HandHotSpot(13, 4);
constexpr int CreditsTickMs = 200;
constexpr qreal BaseFontPoints = 8.0;

} // namespace layout
