#pragma once

#include <cstddef>
#include <cstdint>

// Turning the bytes of one line into the phrase shown, in UTF-16 code units.
namespace phrases {

constexpr std::size_t MaxShownLength = 360;

// Tells whether a line is valid UTF-8 while its bytes go by in pieces, keeping none of them.
class Utf8Validator
{
public:
    void feed(const unsigned char *bytes, std::size_t n) noexcept;
    // Everything fed so far is valid UTF-8 and ends on a whole character.
    bool valid() const noexcept { return !broken_ && pending_ == 0; }

private:
    unsigned char pending_ = 0; // continuation bytes still due
    unsigned char low_ = 0x80;  // range of the next one: narrower after E0, ED, F0 and F4
    unsigned char high_ = 0xBF;
    bool broken_ = false;
};

bool isValidUtf8(const unsigned char *bytes, std::size_t n);

// Decodes one line as UTF-8 when it is valid UTF-8, otherwise as Windows-1252. out must
// have room for n code units (neither encoding yields more units than bytes); returns the
// number written.
std::size_t decodeLine(const unsigned char *bytes, std::size_t n, char16_t *out);

// Decodes the first n bytes of a line, as UTF-8 when the whole line is valid UTF-8 (utf8),
// else as Windows-1252. A UTF-8 character cut off by the end of the bytes is left out.
std::size_t decodeLinePrefix(const unsigned char *bytes, std::size_t n, bool utf8, char16_t *out);

// Every "/n" becomes CR LF, left to right, without looking again at what was put in.
// Both are two units long, so this works in place.
void expandLineBreaks(char16_t *text, std::size_t n);

// Length of the phrase after the cut to MaxShownLength units; a cut that would split a
// surrogate pair falls one unit earlier.
std::size_t cutLength(const char16_t *text, std::size_t n);

// Longer phrases get smaller type: 16 points for the empty phrase down to 8 at full length.
float fontSizeFor(std::int32_t length);

// A whole number from 1 to n for n >= 1, from r in [0, 1); throws "Overflow" for the one
// n whose width does not fit in 32 bits.
std::int32_t drawWholeNumber(std::int32_t n, float r);

} // namespace phrases
