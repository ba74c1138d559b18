// Where the window's controls lie, in its own pixels at 96 DPI: the tests' one table of places,
// read by the Qt face's tests, the Windows screen reader's client and the Linux one (client.py
// reads the lines of the table itself).
#pragma once

struct Place
{
    const char *control;
    int x, y, width, height;
};
inline constexpr int WindowWidth = 550, WindowHeight = 304;
inline constexpr Place Places[] = {
    {"Image2", 32, 32, 121, 68},
    {"imgFumetto", 160, 32, 335, 139},
    {"Label1", 184, 48, 291, 89},
    {"imgClose", 536, 5, 10, 10},
    {"imgCazzaro", 48, 120, 100, 150},
    {"Image1", 200, 144, 300, 130},
    {"Label2", 368, 256, 57, 25},
    {"txtCrediti", 296, 264, 201, 13},
};
