#pragma once

#include <cstddef>
#include <cstdint>

// What a picture file says about itself before anything is decoded, and the largest
// picture the program is willing to decode: a few bytes may declare a picture far beyond
// what the machine can hold.
namespace picture {

// At four bytes a pixel; the Qt reader's own allocation limit.
inline constexpr std::uint64_t MaxPixelBytes = std::uint64_t{128} << 20;

enum class Format { Unknown, Jpeg, Gif, Png, Bmp, Icon, Wmf, Emf };

struct Header
{
    Format format = Format::Unknown;
    // In pixels, as the picture would be drawn at 96 per inch; 0 x 0 when the header is
    // cut short or declares nothing the loader could use.
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// Reads only the headers: JPEG frame, GIF screen and first image, PNG IHDR, BMP's
// DIB header, the icon or cursor directory with each of its images, the placeable WMF
// header and the EMF header.
Header readHeader(const unsigned char *bytes, std::size_t size);

// Throws phrases::Failure("Picture too large: W x H pixels") above MaxPixelBytes.
void checkSize(std::int64_t width, std::int64_t height);

} // namespace picture
