#include "pictures.h"

// Drawn pixel by pixel; the larger sizes repeat each pixel (nearest neighbour).

PixelArt iconArt()
{
    return {
        {
            "................................",
            "..............kkkk..............",
            "............kkppkqkk............",
            "...........kppppkpqqk...........",
            "..........kprrpppppqqk..........",
            ".........kprrpppppppqqk.........",
            ".........kprppppppppqqk.........",
            "........kppppppppppppqqk........",
            "........kppppppppppppqqk........",
            ".........kppppppppppqqk.........",
            ".........kppppppppppqqk.........",
            ".........kqqqqqqqqqqqqk.........",
            "..........kffhfffffssk..........",
            "..........kffhfffffssk..........",
            "..........kffhfffffssk..........",
            "..........kffhfffffssk..........",
            "..........kffhfffffssk..........",
            ".......kkksffhffffffsskkk.......",
            "......kfffsffhfffffffsfssk......",
            ".....kfhhfsffhfffffffshhssk.....",
            "....kfhfffsffffffffffhfffssk....",
            "....khffffsffffffffffsfffssk....",
            "...kffffffsffffffffffsffffssk...",
            "...kffffffssffffffffssffffssk...",
            "...ksffffffssssssssssfffffssk...",
            "....kfffffffffffsffffffffssk....",
            "....ksfffffffffssffffffffssk....",
            ".....ksffffffsskksffffffssk.....",
            "......ksssssssk..ksssssssk......",
            ".......kkkkkkk....kkkkkkk.......",
            "................................",
            "................................",
        },
        {
            {'.', qRgba(0, 0, 0, 0)},
            {'k', qRgb(59, 33, 19)},    // outline, dark brown
            {'f', qRgb(241, 189, 151)}, // flesh
            {'s', qRgb(201, 138, 99)},  // flesh in shadow
            {'h', qRgb(253, 224, 203)}, // shine
            {'p', qRgb(217, 128, 104)}, // tip
            {'q', qRgb(169, 83, 63)},   // tip in shadow
            {'r', qRgb(242, 173, 152)}, // tip shine
        },
    };
}

// The hot spot is the top of the fingertip, pixel (13, 4).
PixelArt handArt()
{
    return {
        {
            "................................",
            "................................",
            "................................",
            "................................",
            "............kkk.................",
            "...........kwwgk................",
            "..........kwwwwgk...............",
            "..........kwwwwgk...............",
            "..........kwwwwgk...............",
            "..........kwwwwgk...............",
            "..........kwwwwgkkkk............",
            "..........kwwwwgkwwgkkkk........",
            "..........kwwwwgkwwgkwwgk.......",
            "..........kwwwwgkwwgkwwgkkk.....",
            "....kkkk..kwwwwgkwwgkwwgkwgk....",
            "...kwwwgk.kwwwwgkwwgkwwgkwgk....",
            "...kwwwwgkkwwwwgkwwgkwwgkwgk....",
            "...kwwwwwgkwwwwgkwwgkwwgkwgk....",
            "...kwwwwwgkwwwwgkwwgkwwgkwgk....",
            "...kwwwwwgkwwwwgkwwgkwwgkwgk....",
            "....kwwwwwwwwwwwwwwwwwwgkwgk....",
            ".....kwwwwwwwwwwwwwwwwwwwwwgk...",
            "......kwwwwwwwwwwwwwwwwwwwwgk...",
            ".......kwwwwwwwwwwwwwwwwwwwgk...",
            ".......kwwwwwwwwwwwwwwwwwwwgk...",
            ".......kwwwwwwwwwwwwwwwwwwwgk...",
            ".......kwwwwwwwwwwwwwwwwwwwgk...",
            "........kwwwwwwwwwwwwwwwwwgk....",
            ".........kwwwwwwwwwwwwwwwgk.....",
            "..........kwwwwwwwwwwwwwgk......",
            "..........kggggggggggggggk......",
            "...........kkkkkkkkkkkkkk.......",
        },
        {
            {'.', qRgba(0, 0, 0, 0)},
            {'k', qRgb(0, 0, 0)},
            {'w', qRgb(255, 255, 255)},
            {'g', qRgb(192, 192, 192)}, // shading on the far side
        },
    };
}
