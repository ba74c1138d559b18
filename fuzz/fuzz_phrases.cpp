// Differential fuzz target for the phrase core: every answer of PhraseFile and PhraseText is
// checked against the tests' slow, obvious reference reader (tests/core/Reference.h).
//
// Input: an 11-byte header, then the file content.
//   [0]    block size: 0..236 -> 64..300 bytes, anything else -> the default
//   [1]    which line to read (picked relative to the line count, or an extreme k), and with
//          [2] how many units of its phrase to keep
//   [2]    starting counter and limit for the Overflow checks
//   [3..6] unused (kept so that older corpus files read the same)
//   [7..9] 24 bits that spread the kept shares over the lines read
//   [10]   0xF0..0xFF with the default block size: the content repeated up to 8..23 KiB, since
//          the vector line counter only empties its byte lanes every 8 KiB or so; else as is
// Missing header bytes count as zero.

#include "phrases/Failure.h"
#include "phrases/PhraseFile.h"
#include "phrases/PhraseText.h"
#include "Check.h"
#include "Reference.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace {

using check::show;
constexpr std::size_t HeaderSize = 11;
constexpr std::size_t LinesChecked = 50;
constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Int32Min = std::numeric_limits<std::int32_t>::min();

[[noreturn]] void die(const char *what)
{
    std::perror(what);
    std::abort();
}

// Any Failure but Overflow is left to end the run, with its wording.
template<typename Step>
bool overflows(Step step)
{
    try {
        step();
    } catch (const phrases::Failure &f) {
        if (std::strcmp(f.what(), "Overflow") != 0)
            throw;
        return true;
    }
    return false;
}

// One memory file for the whole process, rewritten per input and opened by path, so
// PhraseFile goes through open/fstat/read like it does on a real file.
int contentFd = -1;
std::string contentPath;

void writeContent(const std::string &bytes)
{
    if (::ftruncate(contentFd, 0) != 0)
        die("ftruncate");
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t got = ::pwrite(contentFd, bytes.data() + done, bytes.size() - done, off_t(done));
        if (got <= 0)
            die("pwrite");
        done += std::size_t(got);
    }
}

struct Input
{
    std::size_t blockSize;
    unsigned char kPick;
    unsigned char limitPick;
    std::uint32_t bits24;
    std::size_t repeatTo;
};

Input parseHeader(const std::uint8_t *data, std::size_t size)
{
    unsigned char h[HeaderSize] = {};
    std::memcpy(h, data, std::min(size, HeaderSize));
    const std::size_t block = h[0] <= 236 ? 64 + std::size_t(h[0]) : phrases::PhraseFile::DefaultBlockSize;
    const bool bigBlock = block == phrases::PhraseFile::DefaultBlockSize;
    return {block, h[1], h[2], std::uint32_t(h[7]) | std::uint32_t(h[8]) << 8 | std::uint32_t(h[9]) << 16,
            bigBlock && h[10] >= 0xF0 ? std::size_t(h[10] - 0xF0 + 8) * 1024 : 0};
}

[[noreturn]] void mismatch(const char *what, const Input &in, const std::string &detail)
{
    std::fprintf(stderr, "\n*** MISMATCH: %s\nblock size %zu, content repeated to %zu bytes (0: as given)\n%s\n",
                 what, in.blockSize, in.repeatTo, detail.c_str());
    std::abort();
}

void checkCount(phrases::PhraseFile &file, const Input &in, std::int32_t start, std::int32_t limit,
                std::int64_t lines, const char *label)
{
    file.open(contentPath);
    std::int32_t counter = start;
    const bool overflow = overflows([&] { file.countLines(counter, limit); });
    const bool expectOverflow = start + lines > limit;
    if (overflow != expectOverflow || counter != (expectOverflow ? limit : start + lines))
        mismatch(label, in, "start " + std::to_string(start) + ", limit " + std::to_string(limit) + ", lines "
                                + std::to_string(lines) + ": got " + std::to_string(counter)
                                + (overflow ? " and Overflow" : ""));
}

void checkText(const Input &in, const std::string &bytes, const char *label)
{
    bool wasUtf8;
    const std::u16string decoded = referenceDecode(bytes, &wasUtf8);

    // Exact-size heap copies, so reading or writing one unit too far is caught by ASan.
    const std::size_t n = bytes.size();
    std::unique_ptr<unsigned char[]> in8(new unsigned char[n]);
    std::memcpy(in8.get(), bytes.data(), n);
    std::unique_ptr<char16_t[]> out16(new char16_t[n]);

    const std::string said = label + std::string(" bytes: ") + show(bytes) + (wasUtf8 ? "\nvalid" : "\ninvalid");
    if (phrases::isValidUtf8(in8.get(), n) != wasUtf8)
        mismatch("isValidUtf8", in, said);
    // The same bytes in pieces of 1 to 7, each piece its own exact-size copy.
    phrases::Utf8Validator pieces;
    for (std::size_t at = 0, piece = 1; at < n; at += piece, piece = piece % 7 + 1) {
        const std::size_t size = std::min(piece, n - at);
        std::unique_ptr<unsigned char[]> copy(new unsigned char[size]);
        std::memcpy(copy.get(), in8.get() + at, size);
        pieces.feed(copy.get(), size);
    }
    if (pieces.valid() != wasUtf8)
        mismatch("Utf8Validator fed in pieces", in, said);

    const std::size_t units = phrases::decodeLine(in8.get(), n, out16.get());
    const std::u16string got(out16.get(), std::min(units, n));
    if (units > n || got != decoded)
        mismatch("decodeLine", in, said + "\nexpected: " + show(decoded) + "\ngot:      " + show(got));

    const std::u16string expanded = referenceExpand(decoded);
    phrases::expandLineBreaks(out16.get(), units);
    const std::u16string gotExpanded(out16.get(), units);
    if (gotExpanded != expanded)
        mismatch("expandLineBreaks", in, said + "\nexpected: " + show(expanded) + "\ngot:      " + show(gotExpanded));

    // The reference's cut, deliberately naive: 360 units, one fewer when the 360th leads a pair.
    const bool leadAt360 = expanded.size() >= 360 && expanded[359] >= 0xD800 && expanded[359] <= 0xDBFF;
    const std::size_t cut = std::min<std::size_t>(expanded.size(), 360 - leadAt360);
    const std::size_t gotCut = phrases::cutLength(out16.get(), units);
    if (gotCut != cut)
        mismatch("cutLength", in, said + "\nexpected " + std::to_string(cut) + ", got " + std::to_string(gotCut));
}

// The phrase of line k as the whole line gives it (decoded whole, then expanded), cut to keep.
void checkRead(phrases::PhraseFile &file, const Input &in, const std::vector<std::string> &lines,
               std::int32_t k, std::size_t keep)
{
    const std::string where = "k " + std::to_string(k) + ", keep " + std::to_string(keep);
    file.open(contentPath);
    std::u16string phrase;
    const bool got = file.readPhrase(k, phrase, keep);
    const bool expected = k >= 1 && std::size_t(k) <= lines.size();
    if (got != expected)
        mismatch("readPhrase", in, where + " of " + std::to_string(lines.size()) + " lines: expected "
                                   + (expected ? "true" : "false") + ", got " + (got ? "true" : "false"));
    if (!expected)
        return;
    const std::string &line = lines[std::size_t(k) - 1];
    const std::u16string want = referencePhrase(line).substr(0, keep);
    if (phrase != want)
        mismatch("readPhrase", in, where + "\nline:     " + show(line) + "\nexpected: " + show(want)
                                   + "\ngot:      " + show(phrase));
}

void checkReadOverflow(phrases::PhraseFile &file, const Input &in, std::int32_t k, std::int32_t limit,
                       std::int64_t lines)
{
    file.open(contentPath);
    std::u16string phrase;
    bool got = false;
    const bool overflow = overflows([&] { got = file.readPhrase(k, phrase, 361, limit); });
    if (got || overflow != (lines > limit))
        mismatch("readPhrase", in, "k " + std::to_string(k) + ", limit " + std::to_string(limit)
                                   + ", lines " + std::to_string(lines) + (overflow ? ": Overflow" : ": none"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    contentFd = ::memfd_create("cazzate.txt", MFD_CLOEXEC);
    if (contentFd < 0) {
        std::FILE *f = std::tmpfile();
        if (!f)
            die("no scratch file");
        contentFd = ::fileno(f);
    }
    contentPath = "/proc/self/fd/" + std::to_string(contentFd);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Input in = parseHeader(data, size);
    const std::size_t header = std::min(size, HeaderSize);
    const std::string given(reinterpret_cast<const char *>(data) + header, size - header);
    std::string content = given;
    while (!given.empty() && content.size() < in.repeatTo)
        content += given;
    writeContent(content);

    const std::vector<std::string> lines = referenceLines(content);
    const auto count = static_cast<std::int32_t>(lines.size());

    // One object, opened again for every question, as the program does between clicks. A
    // fresh 1 MiB buffer per input would cost more than all the checks, so the default-size
    // object lives for the whole run.
    static phrases::PhraseFile defaultFile;
    std::unique_ptr<phrases::PhraseFile> smallFile;
    if (in.blockSize != phrases::PhraseFile::DefaultBlockSize)
        smallFile = std::make_unique<phrases::PhraseFile>(in.blockSize);
    phrases::PhraseFile &file = smallFile ? *smallFile : defaultFile;

    checkCount(file, in, 0, phrases::PhraseFile::MaxLines, count, "countLines");

    // Limits around the line count, from a small start and from just below the top.
    const std::int32_t start = in.limitPick >> 3;
    const std::int32_t delta = std::int32_t(in.limitPick & 7) - 4;
    const std::int32_t limit = std::max(start, start + count + delta);
    checkCount(file, in, start, limit, count, "countLines with a limit");
    const std::int32_t high = Int32Max - std::int32_t(in.limitPick % (count + 2));
    checkCount(file, in, high, Int32Max, count, "countLines near the top");
    const std::int32_t below[] = {0, 0, -1, Int32Min};
    checkReadOverflow(file, in, below[in.kPick & 3], std::max(0, count + delta), count);

    // Every read scans from the top, and opens cost more than scans here, so only a few k:
    // the edges and two the input picks, each keeping a different share of its phrase. The
    // small shares cut the copy of the line short at every place, astride "/n" and
    // characters included.
    const std::array<std::size_t, 6> keeps = {
        0, 1, 2 + std::size_t(in.limitPick % 23), 2 + std::size_t(in.kPick % 61), 361, ~std::size_t{0}};
    const std::int32_t edges[] = {-1, Int32Min, Int32Max}; // picked by 0xFD, 0xFE, 0xFF
    const std::int32_t k = in.kPick >= 0xFD ? edges[in.kPick - 0xFD] : std::int32_t(in.kPick % (count + 2));
    const std::int32_t fromEnd = count - std::int32_t(in.limitPick % (count + 1));
    const std::int32_t ks[] = {1, 2, count - 1, count, count + 1, k, fromEnd};
    for (std::size_t i = 0; i < std::size(ks); ++i)
        if (std::find(ks, ks + i, ks[i]) == ks + i)
            checkRead(file, in, lines, ks[i], keeps[(i + in.bits24) % keeps.size()]);
    for (std::size_t keep : keeps)
        checkRead(file, in, lines, k, keep);

    // The text steps need no file: the lines are the ones the reference splits out.
    for (std::size_t i = 0; i < lines.size() && i < LinesChecked; ++i)
        checkText(in, lines[i], ("line " + std::to_string(i + 1)).c_str());

    // The decoder must cope with any bytes, terminators included.
    checkText(in, given, "whole content");
    return 0;
}
