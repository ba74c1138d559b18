#include "PhraseText.h"

#include "Checked32.h"

#include <cmath>
#include <cstring>

namespace phrases {
namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 control of the same
// value, as Windows itself does.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

std::size_t sequenceLength(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Whole lines of text go through here, so it takes 32 bytes a step while they are ASCII.
std::size_t asciiRun(const unsigned char *bytes, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        std::uint64_t words[4];
        std::memcpy(words, bytes + i, 32);
        if ((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ull)
            break;
    }
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        if (word & 0x8080808080808080ull)
            break;
    }
    while (i < n && bytes[i] < 0x80)
        ++i;
    return i;
}

std::size_t decodeUtf8(const unsigned char *bytes, std::size_t n, char16_t *out)
{
    char16_t *const start = out;
    std::size_t i = 0;
    while (i < n) {
        const std::size_t run = asciiRun(bytes + i, n - i);
        for (std::size_t j = 0; j < run; ++j)
            *out++ = bytes[i + j];
        i += run;
        if (i == n)
            break;
        const unsigned char b = bytes[i];
        char32_t cp;
        if (b < 0xE0) {
            cp = (char32_t{b} & 0x1F) << 6 | (bytes[i + 1] & 0x3F);
            i += 2;
        } else if (b < 0xF0) {
            cp = (char32_t{b} & 0x0F) << 12 | char32_t(bytes[i + 1] & 0x3F) << 6 | (bytes[i + 2] & 0x3F);
            i += 3;
        } else {
            cp = (char32_t{b} & 0x07) << 18 | char32_t(bytes[i + 1] & 0x3F) << 12
                 | char32_t(bytes[i + 2] & 0x3F) << 6 | (bytes[i + 3] & 0x3F);
            i += 4;
        }
        if (cp < 0x10000) {
            *out++ = static_cast<char16_t>(cp);
        } else {
            cp -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        }
    }
    return static_cast<std::size_t>(out - start);
}

std::size_t decodeWindows1252(const unsigned char *bytes, std::size_t n, char16_t *out)
{
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = bytes[i];
        out[i] = (b >= 0x80 && b < 0xA0) ? Cp1252High[b - 0x80] : char16_t{b};
    }
    return n;
}

} // namespace

void Utf8Validator::feed(const unsigned char *bytes, std::size_t n) noexcept
{
    std::size_t i = 0;
    while (i < n && !broken_) {
        if (pending_ > 0) {
            const unsigned char b = bytes[i++];
            broken_ = b < low_ || b > high_;
            low_ = 0x80;
            high_ = 0xBF;
            --pending_;
            continue;
        }
        i += asciiRun(bytes + i, n - i);
        if (i == n)
            break;
        const unsigned char b = bytes[i++];
        if (b >= 0xC2 && b <= 0xDF) {
            pending_ = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            pending_ = 2;
            if (b == 0xE0)
                low_ = 0xA0; // overlong
            else if (b == 0xED)
                high_ = 0x9F; // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            pending_ = 3;
            if (b == 0xF0)
                low_ = 0x90; // overlong
            else if (b == 0xF4)
                high_ = 0x8F; // above U+10FFFF
        } else {
            broken_ = true;
        }
    }
}

bool isValidUtf8(const unsigned char *bytes, std::size_t n)
{
    Utf8Validator validator;
    validator.feed(bytes, n);
    return validator.valid();
}

std::size_t decodeLine(const unsigned char *bytes, std::size_t n, char16_t *out)
{
    return decodeLinePrefix(bytes, n, isValidUtf8(bytes, n), out);
}

std::size_t decodeLinePrefix(const unsigned char *bytes, std::size_t n, bool utf8, char16_t *out)
{
    if (!utf8)
        return decodeWindows1252(bytes, n, out);
    // The last lead byte is at most three continuation bytes from the end.
    std::size_t lead = n;
    while (lead > 0 && n - lead < 3 && isContinuation(bytes[lead - 1]))
        --lead;
    if (lead > 0 && lead - 1 + sequenceLength(bytes[lead - 1]) > n)
        n = lead - 1;
    return decodeUtf8(bytes, n, out);
}

void expandLineBreaks(char16_t *text, std::size_t n)
{
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (text[i] == u'/' && text[i + 1] == u'n') {
            text[i] = u'\r';
            text[i + 1] = u'\n';
            ++i;
        }
    }
}

std::size_t cutLength(const char16_t *text, std::size_t n)
{
    if (n <= MaxShownLength)
        return n;
    const char16_t last = text[MaxShownLength - 1];
    const bool splitsPair = last >= 0xD800 && last <= 0xDBFF;
    return splitsPair ? MaxShownLength - 1 : MaxShownLength;
}

float fontSizeFor(std::int32_t length)
{
    constexpr std::int32_t maxLength = static_cast<std::int32_t>(MaxShownLength);
    const std::int32_t product = checked::mul(checked::sub(maxLength, length), 8);
    return static_cast<float>(std::floor(static_cast<double>(product) / 360.0) + 8.0);
}

std::int32_t drawWholeNumber(std::int32_t n, float r)
{
    const std::int32_t width = checked::add(checked::sub(n, 1), 1);
    const double x = static_cast<double>(r) * static_cast<double>(width) + 1.0;
    const double whole = std::floor(x);
    if (!(whole >= -2147483648.0 && whole <= 2147483647.0))
        throw Failure("Overflow");
    return static_cast<std::int32_t>(whole);
}

} // namespace phrases
