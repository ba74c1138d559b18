#pragma once

// The window's artwork as ready pixels, made from the PNGs when the program is built: showing
// it decodes nothing and loads no image reader.
namespace artworkpixels {

struct Picture
{
    const char *name; // "frame", "frame@2x"...
    int width;
    int height;
    const unsigned char *pixels; // premultiplied ARGB, one 32-bit word a pixel in the machine's order
};

extern const Picture pictures[];
extern const int pictureCount;

} // namespace artworkpixels
