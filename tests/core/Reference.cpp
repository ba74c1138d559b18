#include "Reference.h"

#include <algorithm>

// The five unassigned bytes read as the C1 controls of the same value.
const char16_t Windows1252From80[32] = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021', // 80-87
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F', // 88-8F
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014', // 90-97
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178', // 98-9F
};

namespace {

bool referenceUtf8(const std::string &bytes, std::u16string &text)
{
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char lead = bytes[i];
        const int more = lead < 0x80 ? 0 : lead < 0xC0 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF8 ? 3 : -1;
        if (more < 0 || i + more >= bytes.size())
            return false;
        char32_t code = more == 0 ? lead : lead & (0x3F >> more);
        for (int j = 1; j <= more; ++j) {
            const unsigned char next = bytes[i + j];
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        if (code < least[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code < 0x10000)
            text += char16_t(code);
        else
            text += {char16_t(0xD800 + ((code - 0x10000) >> 10)), char16_t(0xDC00 + (code & 0x3FF))};
        i += 1 + more;
    }
    return true;
}

} // namespace

std::vector<std::string> referenceLines(const std::string &content)
{
    std::vector<std::string> lines;
    for (std::size_t start = content.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0; start < content.size();) {
        const std::size_t end = std::min(content.find_first_of("\r\n", start), content.size());
        lines.push_back(content.substr(start, end - start));
        start = end + 1 + (content.compare(end, 2, "\r\n") == 0);
    }
    return lines;
}

std::u16string referenceDecode(const std::string &line, bool *utf8)
{
    std::u16string text;
    const bool valid = referenceUtf8(line, text);
    if (utf8)
        *utf8 = valid;
    if (!valid) {
        text.clear();
        for (const unsigned char byte : line)
            text += byte >= 0x80 && byte < 0xA0 ? Windows1252From80[byte - 0x80] : char16_t(byte);
    }
    return text;
}

std::u16string referenceExpand(const std::u16string &text)
{
    std::u16string phrase;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lineBreak = text.compare(i, 2, u"/n") == 0;
        phrase += lineBreak ? u"\r\n" : text.substr(i, 1);
        i += lineBreak;
    }
    return phrase;
}
