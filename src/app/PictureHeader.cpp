#include "PictureHeader.h"

#include "phrases/Failure.h"

#include <algorithm>
#include <string>

namespace picture {
namespace {

struct Bytes
{
    const unsigned char *data;
    std::size_t size;

    bool has(std::size_t at, std::size_t count) const { return at <= size && count <= size - at; }
    std::uint32_t le16(std::size_t at) const { return data[at] | data[at + 1] << 8; }
    std::uint32_t le32(std::size_t at) const { return le16(at) | le16(at + 2) << 16; }
    std::uint32_t be16(std::size_t at) const { return data[at] << 8 | data[at + 1]; }
    std::uint32_t be32(std::size_t at) const { return be16(at) << 16 | be16(at + 2); }
    std::int64_t signed32(std::size_t at) const { return std::int32_t(le32(at)); }
    std::int64_t signed16(std::size_t at) const { return std::int16_t(le16(at)); }
    bool starts(std::size_t at, const char *magic, std::size_t count) const
    {
        return has(at, count) && std::equal(magic, magic + count, data + at,
                                            [](char m, unsigned char b) { return static_cast<unsigned char>(m) == b; });
    }
};

// MulDiv's rounding: to the nearest, halves away from zero.
std::int64_t scaled(std::int64_t value, std::int64_t by, std::int64_t over)
{
    const std::int64_t product = (value < 0 ? -value : value) * by;
    return (product + over / 2) / over;
}

Header sized(Format format, std::int64_t width, std::int64_t height)
{
    return {format, width < 0 ? -width : width, height < 0 ? -height : height};
}

bool isFrame(unsigned marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

Header jpeg(Bytes b)
{
    std::size_t at = 2;
    for (;;) {
        while (at < b.size && b.data[at] != 0xFF)
            ++at;
        while (at < b.size && b.data[at] == 0xFF)
            ++at;
        if (at >= b.size)
            return {Format::Jpeg};
        const unsigned marker = b.data[at++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        // A scan or the end before any frame: nothing declared.
        if (marker == 0xD9 || marker == 0xDA || !b.has(at, 2) || b.be16(at) < 2)
            return {Format::Jpeg};
        if (isFrame(marker))
            return b.has(at, 7) ? sized(Format::Jpeg, b.be16(at + 5), b.be16(at + 3)) : Header{Format::Jpeg};
        at += b.be16(at);
    }
}

Header gif(Bytes b)
{
    if (!b.has(0, 13))
        return {Format::Gif};
    std::int64_t width = b.le16(6), height = b.le16(8);
    std::size_t at = 13 + ((b.data[10] & 0x80) ? 3u << ((b.data[10] & 7) + 1) : 0u);
    // Extensions up to the first image, whose frame may reach past the screen.
    while (b.has(at, 2) && b.data[at] == 0x21) {
        at += 2;
        while (at < b.size && b.data[at] != 0)
            at += b.data[at] + 1u;
        ++at;
    }
    if (b.has(at, 10) && b.data[at] == 0x2C) {
        width = std::max<std::int64_t>(width, b.le16(at + 5));
        height = std::max<std::int64_t>(height, b.le16(at + 7));
    }
    return sized(Format::Gif, width, height);
}

Header png(Bytes b, std::size_t at = 0)
{
    return b.has(at, 24) ? sized(Format::Png, b.be32(at + 16), b.be32(at + 20)) : Header{Format::Png};
}

// A BITMAPCOREHEADER or any larger BITMAPINFOHEADER; bottom-up bitmaps have a negative height.
Header dib(Bytes b, std::size_t at, Format format)
{
    if (!b.has(at, 4))
        return {format};
    const std::uint32_t size = b.le32(at);
    if (size == 12 && b.has(at, 8))
        return sized(format, b.le16(at + 4), b.le16(at + 6));
    if (size >= 16 && b.has(at, 12))
        return sized(format, b.signed32(at + 4), b.signed32(at + 8));
    return {format};
}

Header icon(Bytes b)
{
    Header largest{Format::Icon};
    const std::size_t count = b.le16(4);
    for (std::size_t entry = 6; entry < 6 + 16 * count && b.has(entry, 16); entry += 16) {
        Header image = sized(Format::Icon, b.data[entry] ? b.data[entry] : 256, b.data[entry + 1] ? b.data[entry + 1] : 256);
        const std::size_t offset = b.le32(entry + 12);
        if (b.starts(offset, "\x89PNG\r\n\x1A\n", 8)) {
            image = png(b, offset);
        } else if (const Header bitmap = dib(b, offset, Format::Icon); bitmap.width > 0) {
            // The colours and the mask, one above the other.
            image = {Format::Icon, bitmap.width, (bitmap.height + 1) / 2};
        }
        largest.width = std::max(largest.width, image.width);
        largest.height = std::max(largest.height, image.height);
    }
    return largest;
}

} // namespace

Header readHeader(const unsigned char *bytes, std::size_t size)
{
    const Bytes b{bytes, size};
    if (b.starts(0, "\xFF\xD8", 2))
        return jpeg(b);
    if (b.starts(0, "GIF87a", 6) || b.starts(0, "GIF89a", 6))
        return gif(b);
    if (b.starts(0, "\x89PNG\r\n\x1A\n", 8))
        return png(b);
    if (b.starts(0, "BM", 2))
        return dib(b, 14, Format::Bmp);
    if (b.has(0, 6) && b.le16(0) == 0 && (b.le16(2) == 1 || b.le16(2) == 2) && b.le16(4) > 0)
        return icon(b);
    if (b.has(0, 4) && b.le32(0) == 0x9AC6CDD7) {
        // Logical units, inch of them to the inch, through HIMETRIC as the loader goes.
        if (!b.has(0, 16) || b.le16(14) == 0)
            return {Format::Wmf};
        const std::int64_t inch = b.le16(14);
        return sized(Format::Wmf, scaled(scaled(b.signed16(10) - b.signed16(6), 2540, inch), 96, 2540),
                     scaled(scaled(b.signed16(12) - b.signed16(8), 2540, inch), 96, 2540));
    }
    if (b.has(0, 44) && b.le32(0) == 1 && b.le32(40) == 0x464D4520) {
        // The frame, in hundredths of a millimetre.
        return sized(Format::Emf, scaled(b.signed32(32) - b.signed32(24), 96, 2540),
                     scaled(b.signed32(36) - b.signed32(28), 96, 2540));
    }
    return {};
}

void checkSize(std::int64_t width, std::int64_t height)
{
    const std::int64_t maxPixels = std::int64_t(MaxPixelBytes / 4);
    if (width > 0 && height > maxPixels / width)
        throw phrases::Failure("Picture too large: " + std::to_string(width) + " x " + std::to_string(height)
                               + " pixels");
}

} // namespace picture
