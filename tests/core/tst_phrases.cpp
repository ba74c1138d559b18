// The phrase engine's rules for one line: decoding and the draw of a line number.
#include "Check.h"
#include "Fakes.h"

#include "phrases/PhraseText.h"

#include <limits>
#include <tuple>

namespace {

std::u16string decoded(const std::string &bytes)
{
    std::u16string text(bytes.size(), u'\0');
    text.resize(phrases::decodeLine(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), text.data()));
    return text;
}

} // namespace

TEST_CASE("decoding: every byte from 0x80 alone is Windows-1252")
{
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        CHECK_EQ(decoded(std::string(1, char(byte))),
                 std::u16string(1, byte < 0xA0 ? Windows1252From80[byte - 0x80] : char16_t(byte)), std::to_string(byte));
}

// A line is UTF-8 only when all of it is: the first and last of each length, the forms it
// forbids (one byte too early or too late), and characters cut by the line's end.
TEST_CASE("decoding: the edges of UTF-8, else Windows-1252")
{
    const std::pair<std::string, std::u16string> rows[] = {
        {"perch\xC3\xA9 s\xC3\xAC", u"perch\u00E9 s\u00EC"},
        {"\xC2\x80|\xDF\xBF", u"\u0080|\u07FF"}, {"\xC0\x80", u"\u00C0\u20AC"}, {"\xC1\xBF", u"\u00C1\u00BF"},
        {"\xE0\xA0\x80|\xEF\xBF\xBF", u"\u0800|\uFFFF"}, {"\xE0\x80\x80", u"\u00E0\u20AC\u20AC"},
        {"\xE0\x9F\xBF", u"\u00E0\u0178\u00BF"}, {"\xED\x9F\xBF|\xEE\x80\x80", u"\uD7FF|\uE000"},
        {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"}, {"\xED\xBF\xBF", u"\u00ED\u00BF\u00BF"}, // surrogates
        {"\xF0\x90\x80\x80|\xF4\x8F\xBF\xBF", u"\U00010000|\U0010FFFF"},
        {"\xF0\x80\x80\x80", u"\u00F0\u20AC\u20AC\u20AC"}, {"\xF0\x8F\xBF\xBF", u"\u00F0\u008F\u00BF\u00BF"},
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC"}, {"\xF5\x80\x80\x80", u"\u00F5\u20AC\u20AC\u20AC"},
        {"\xC3\xA9\xA9", u"\u00C3\u00A9\u00A9"}, {"\xC3\xA9\xE9", u"\u00C3\u00A9\u00E9"},
        {"x\xC3", u"x\u00C3"}, {"ab\xE2\x82", u"ab\u00E2\u201A"}, {"\xF0\x9F\x98", u"\u00F0\u0178\u02DC"}, // cut
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto &[bytes, expected] : rows)
        CHECK_EQ(decoded(bytes), expected, check::show(expected));
}

TEST_CASE("the draw: a whole number from 1 to n, and the one n that overflows")
{
    const float belowOne = 0.99999994f;
    const std::tuple<std::int32_t, float, std::int32_t> rows[] = { // n, r: drawn
        {0, 0.0f, 1},   {0, belowOne, 1},  {1, belowOne, 1},   {10, 0.0f, 1},  {10, belowOne, 10},
        {10, 0.45f, 5}, {-1, 0.0f, 1},     {-1, 0.5f, 0},      {-5, belowOne, -4},
        {std::numeric_limits<std::int32_t>::max(), belowOne, 2147483520},
        {std::numeric_limits<std::int32_t>::min() + 1, 0.0f, 1},
    };
    for (const auto &[n, r, drawn] : rows)
        CHECK_EQ(phrases::drawWholeNumber(n, r), drawn, std::to_string(n) + " " + std::to_string(r));
    CHECK_EQ(failureOf([] { phrases::drawWholeNumber(std::numeric_limits<std::int32_t>::min(), 0.5f); }),
             std::string("Overflow"), "the smallest n");
}
