// The phrase engine's rules for one line: decoding and the draw of a line number.
#include "Check.h"

#include "phrases/Failure.h"
#include "phrases/PhraseText.h"

#include <limits>

TEST_CASE("decoding: UTF-8 when the whole line is valid, else Windows-1252")
{
    const std::pair<std::string, std::u16string> rows[] = {
        {"ciao", u"ciao"},
        {"perch\xC3\xA9 s\xC3\xAC", u"perch\u00E9 s\u00EC"},
        {"perch\xE9 s\xEC", u"perch\u00E9 s\u00EC"},
        {"\x80 \x93x\x94", u"\u20AC \u201Cx\u201D"},
        {"\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},
        {"\xC3\xA9\xE9", u"\u00C3\u00A9\u00E9"},             // one bad byte makes the line 1252
        {"\xC0\xAF", u"\u00C0\u00AF"},                       // overlong
        {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},             // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC"},   // above U+10FFFF
        {"ab\xE2\x82", u"ab\u00E2\u201A"},                   // cut short
        {"\xF0\x9F\x98\x80!", u"\U0001F600!"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto &[bytes, expected] : rows) {
        std::u16string decoded(bytes.size(), u'\0');
        decoded.resize(phrases::decodeLine(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(),
                                           decoded.data()));
        CHECK_EQ(decoded, expected, check::show(expected));
    }
}

TEST_CASE("the draw: a whole number from 1 to n, and the one n that overflows")
{
    const float belowOne = 0.99999994f;
    struct Row
    {
        std::int32_t n;
        float r;
        std::int32_t drawn;
    };
    const Row rows[] = {
        {0, 0.0f, 1},   {0, belowOne, 1},  {1, belowOne, 1},   {10, 0.0f, 1},  {10, belowOne, 10},
        {10, 0.45f, 5}, {-1, 0.0f, 1},     {-1, 0.5f, 0},      {-5, belowOne, -4},
        {std::numeric_limits<std::int32_t>::max(), belowOne, 2147483520},
        {std::numeric_limits<std::int32_t>::min() + 1, 0.0f, 1},
    };
    for (const Row &row : rows)
        CHECK_EQ(phrases::drawWholeNumber(row.n, row.r), row.drawn, std::to_string(row.n) + " " + std::to_string(row.r));
    bool overflowed = false;
    try {
        phrases::drawWholeNumber(std::numeric_limits<std::int32_t>::min(), 0.5f);
    } catch (const phrases::Failure &failure) {
        overflowed = std::string(failure.what()) == "Overflow";
    }
    CHECK(overflowed);
}
