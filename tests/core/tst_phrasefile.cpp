// Counting the lines of phrase files and reading one as its phrase; files that are no
// regular files.
#include "Check.h"
#include "Fakes.h"

#include "phrases/LineScan.h"
#include "phrases/PhraseFile.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <tuple>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

using phrases::PhraseFile;
const std::u16string None = u"<no line>";

// unit over and over, cut at size bytes.
std::string repeat(const std::string &unit, std::size_t size)
{
    std::string all;
    while (all.size() < size)
        all += unit;
    return all.substr(0, size);
}

std::u16string phraseOf(const std::filesystem::path &path, std::int32_t k, std::size_t keep, std::size_t block)
{
    PhraseFile file(block);
    file.open(path);
    std::u16string phrase;
    return file.readPhrase(k, phrase, keep) ? phrase : None;
}

// Count and every line's phrase against the rule, at block sizes that put every line end
// astride a block edge somewhere and at the default, where the vector loops run long.
void checkAgainstTheRule(const TestFolder &folder, const std::string &content, std::size_t keep,
                         const std::string &name, int samples = 1 << 30)
{
    folder.write("cazzate.txt", content);
    const auto path = folder.file("cazzate.txt");
    const auto lines = referenceLines(content);
    const auto n = std::int32_t(lines.size());
    for (std::size_t block : {std::size_t(64), std::size_t(97), PhraseFile::DefaultBlockSize}) {
        const std::string row = name + " @" + std::to_string(block);
        PhraseFile file(block);
        std::int32_t counter = 0;
        file.open(path);
        file.countLines(counter);
        CHECK_EQ(counter, n, row);
        for (std::int32_t k = 1; k <= n; k += 1 + n / samples)
            CHECK_EQ(phraseOf(path, k, keep, block), referencePhrase(lines[std::size_t(k - 1)]).substr(0, keep), row);
        CHECK_EQ(phraseOf(path, n + 1, keep, block), None, row);
        CHECK_EQ(phraseOf(path, 0, keep, block), None, row);
    }
}

} // namespace

TEST_CASE("one table of phrase files drives the count and every line's phrase")
{
    using Lines = std::vector<std::u16string>;
    const std::pair<std::string, Lines> rows[] = {
        {"", {}},                           {"x\r\ny", {u"x", u"y"}},
        {"x\r\ny\r\n", {u"x", u"y"}},        {"x\r\n\r\n", {u"x", u""}},
        {"x\ry\nz", {u"x", u"y", u"z"}},     {"\r\n", {u""}},
        {"\n\n\r\r\n\r", Lines(5)},          {"a\n\rb", {u"a", u"", u"b"}},
        {std::string("a\0b\n\0", 5), {std::u16string(u"a\0b", 3), std::u16string(1, u'\0')}},
        {"x/n/ny\r/n\r/N//nn", {u"x\r\n\r\ny", u"\r\n", u"/N/\r\nn"}},
        {"caff\xE8 \x80", {u"caff\u00E8 \u20AC"}},
        {"\xE0\xA0\x80\r\n\xE0\x80\x80\n\xF4\x8F\xBF\xBF\n\xF4\x90\x80\x80", // mixed lines, each on its own
         {u"\u0800", u"\u00E0\u20AC\u20AC", u"\U0010FFFF", u"\u00F4\u0090\u20AC\u20AC"}},
        {"\xEF\xBB\xBF" "caff\xC3\xA8\r\ny", {u"caff\u00E8", u"y"}},
        {"\xEF\xBB\xBF", {}},                 {"\xEF\xBB\xBF\r\n", {u""}},
        {"a\n\xEF\xBB\xBF", {u"a", u"\uFEFF"}}, // a mark past the start is text
        {"\xEF\xBB", {u"\u00EF\u00BB"}},
        {std::string(5000, 'x') + "\r\n\xEF\xBB\xBF", {std::u16string(361, u'x'), u"\uFEFF"}},
    };
    TestFolder folder;
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        const auto &[content, lines] = rows[row];
        const std::string name = "row " + std::to_string(row);
        CHECK_EQ(referenceLines(content).size(), lines.size(), name + " by the rule");
        for (std::size_t k = 0; k < lines.size(); ++k)
            CHECK_EQ(referencePhrase(referenceLines(content)[k]).substr(0, 361), lines[k], name + " by the rule");
        checkAgainstTheRule(folder, content, 361, name);
        CHECK_EQ(phraseOf(folder.file("cazzate.txt"), -1, 361, 64), None, name);
    }
}

// Lines many blocks long: only their start is copied, their validity judged over all. The
// last units kept show which decoding won and what became of a "/n" or a pair astride the end.
TEST_CASE("a long line's phrase: its start decoded and expanded as the whole line would be")
{
    const std::string e = "\xC3\xA8", euro = "\xE2\x82\xAC", smile = "\xF0\x9F\x98\x80", a359(359, 'a');
    const std::tuple<const char *, std::string, std::size_t, std::size_t, std::u16string> rows[] = {
        {"nothing kept", "abc\n", 0, 64, u""},
        {"a four-byte character for one unit kept", smile + "\n", 1, 64, u"\xD83D"},
        {"valid UTF-8 across blocks", repeat(e, 6000) + "\nz", 361, 64, u"\u00E8"},
        {"invalid byte far past the start", repeat(euro, 6000) + "\xFF", 361, 64, u"\u00E2"},
        {"character cut off at the line end", repeat(e, 6000) + "\xC3\r\n", 361, 64, u"\u00C3"},
        {"three-byte characters fill the copy", repeat(euro, 1080) + "/n" + repeat(euro, 297), 361, 100, u"\u20AC\r"},
        {"/n astride the kept end", a359 + "/nb", 360, 64, u"a\r"},
        {"pair astride unit 360", a359 + smile + "b", 361, 64, u"\U0001F600"},
        {"pair astride the kept end", a359 + smile, 360, 64, u"\xD83D"},
    };
    TestFolder folder;
    for (const auto &[name, content, keep, block, endsWith] : rows) {
        folder.write("cazzate.txt", content);
        const std::u16string got = phraseOf(folder.file("cazzate.txt"), 1, keep, block);
        CHECK_EQ(got, referencePhrase(referenceLines(content)[0]).substr(0, keep), name);
        CHECK_EQ(got.substr(got.size() - std::min(got.size(), endsWith.size())), endsWith, name);
    }
}

// The vector counter keeps a byte per lane and sums the lanes before any can pass 255: only
// runs of line ends thousands of bytes long, every byte one, can overrun a lane.
TEST_CASE("dense line ends over long runs and at the edges of the vectors")
{
    TestFolder folder;
    for (const std::string unit : {"\n", "\r", "\r\n", "\n\r", "a\n"})
        for (std::size_t size : {31, 32, 33, 64, 65, 66, 97, 8191, 8223, 8224, 8225, 8226, 16448, 100000})
            checkAgainstTheRule(folder, repeat(unit, size), 5,
                                std::to_string(size) + " bytes of " + std::to_string(unit[0] * 256 + unit.back()), 3);
}

// Each processor picks one kernel; every kernel this one can run must give the same answers
// as a plain walk, on the same dense runs and on random bytes.
TEST_CASE("every scan kernel counts, skips and finds line ends alike")
{
    std::mt19937 random(7);
    std::vector<std::string> inputs;
    for (const std::string unit : {"\n", "\r", "\r\n", "ab\r"})
        for (std::size_t size : {0, 1, 15, 16, 17, 31, 32, 33, 64, 65, 8223, 8224, 20000})
            inputs.push_back(repeat(unit, size));
    for (std::size_t size = 0; size < 300; ++size) {
        inputs.emplace_back();
        for (std::size_t i = 0; i < size; ++i)
            inputs.back() += "\r\nxy"[random() % 4];
    }
    // The runs on an emulated processor name the kernel its model must get.
    if (const char *expected = std::getenv("CIARLA_EXPECTED_KERNEL"))
        CHECK_EQ(std::string(phrases::scan::kernelName()), std::string(expected), "the kernel picked");
    for (const auto &kernel : phrases::scan::runnableKernels()) {
        for (const std::string &input : inputs) {
            const auto *p = reinterpret_cast<const unsigned char *>(input.data());
            const std::size_t n = input.size();
            std::vector<std::size_t> ends; // just past each terminator
            for (std::size_t i = 0; i < n; ++i)
                if (input[i] == '\n' || (input[i] == '\r' && (i + 1 == n || input[i + 1] != '\n')))
                    ends.push_back(i + 1);
            const std::string where = std::string(kernel.name) + ", " + std::to_string(n) + " bytes";
            CHECK_EQ(kernel.count(p, n), ends.size(), where);
            const std::size_t firstEnd = std::min(input.find_first_of("\r\n"), n);
            CHECK_EQ(kernel.find(p, n), firstEnd, where);
            for (std::size_t m : {std::size_t{1}, ends.size() / 2 + 1, ends.size(), ends.size() + 1})
                if (m > 0)
                    CHECK_EQ(kernel.skip(p, n, m), m <= ends.size() ? ends[m - 1] : n, where + ", skip " + std::to_string(m));
        }
    }
}

TEST_CASE("the limit: counting and reading to the end stop there with Overflow")
{
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::string> rows[] = { // start, limit: counter
        {0, 6, 5, ""}, {0, 5, 5, ""}, {0, 4, 4, "Overflow"},
        {2147483644, 2147483647, 2147483647, "Overflow"}, {2147483642, 2147483647, 2147483647, ""},
    };
    TestFolder folder;
    folder.write("cazzate.txt", "1\n2\n3\n4\n5");
    PhraseFile file;
    for (const auto &[start, limit, expected, failure] : rows) {
        file.open(folder.file("cazzate.txt"));
        std::int32_t counter = start;
        const std::string name = std::to_string(start) + " to " + std::to_string(limit);
        CHECK_EQ(failureOf([&, limit = limit] { file.countLines(counter, limit); }), failure, name);
        CHECK_EQ(counter, expected, name);
    }
    std::u16string phrase;
    file.open(folder.file("cazzate.txt"));
    CHECK_EQ(failureOf([&] { file.readPhrase(0, phrase, 361, 4); }), std::string("Overflow"), "read to the end");
    file.open(folder.file("cazzate.txt"));
    CHECK_EQ(file.readPhrase(4, phrase, 361, 4) && phrase == u"4", true, "line 4 within the limit");
}

// The photo's reader and the phrase file open alike: at once, and regular files only.
TEST_CASE("files that are no regular files are refused at once, with a clear report")
{
    namespace fs = std::filesystem;
    const char *const notRegular = "Not a regular file";
    const std::pair<std::string, const char *> rows[] = { // null: the system's own wording, in its language
        {"missing", nullptr}, {"a folder", "Is a directory"},
#ifdef _WIN32
        {"NUL", notRegular},  {"\\\\.\\NUL", notRegular},
#else
        {"a FIFO", notRegular},  {"/dev/zero", notRegular},
        {"a socket", notRegular},
#endif
    };
    for (const auto &[kind, expected] : rows) {
        TestFolder folder;
        fs::path path = folder.file("cazzate.txt");
        if (kind == "a folder")
            fs::create_directory(path);
        else if (kind.find("NUL") != std::string::npos)
            path = kind;
#ifndef _WIN32
        else if (kind == "a FIFO")
            folder.makePipe("cazzate.txt");
        else if (kind == "/dev/zero")
            fs::create_symlink(kind, path);
        else if (kind == "a socket") {
            sockaddr_un address{AF_UNIX, {}};
            path.native().copy(address.sun_path, sizeof address.sun_path - 1);
            const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
            CHECK(::bind(listening, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0);
            ::close(listening); // its file stays
        }
#endif
        PhraseFile file;
        const std::string failure = failureOf([&] { file.open(path); });
        CHECK_EQ(failure, expected ? expected : failure, kind);
        CHECK_EQ(failure.empty() || file.isOpen(), false, kind);
        CHECK_EQ(failureOf([&] { phrases::readRegularFile(path, 100); }), failure, kind + ", photo");
    }
#ifndef _WIN32
    // The installed program's folder holds links to the user's files elsewhere.
    TestFolder folder;
    folder.write("foto.jpg", "abc");
    folder.write("cazzate.txt", "a\nb\n");
    fs::create_symlink(folder.file("cazzate.txt"), folder.file("link.txt"));
    fs::create_symlink(folder.file("foto.jpg"), folder.file("link.jpg"));
    PhraseFile linked;
    linked.open(folder.file("link.txt"));
    std::int32_t counter = 0;
    linked.countLines(counter);
    CHECK_EQ(counter, 2, "phrases through a link");
    CHECK_EQ(phrases::readRegularFile(folder.file("link.jpg"), 3).size(), 3u, "photo through a link");
#endif
}

// A file that grows while it is read would otherwise be read for as long as it grows.
TEST_CASE("a file is read up to the size it had when opened")
{
    TestFolder folder;
    folder.write("cazzate.txt", "a\nb\n");
    PhraseFile file(64);
    file.open(folder.file("cazzate.txt"));
    std::ofstream(folder.file("cazzate.txt"), std::ios::binary | std::ios::app) << std::string(1000, '\n');
    std::int32_t counter = 0;
    file.countLines(counter);
    CHECK_EQ(counter, 2, "lines");
}
