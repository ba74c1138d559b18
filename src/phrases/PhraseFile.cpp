#include "PhraseFile.h"

#include "Failure.h"
#include "LineScan.h"
#include "PhraseText.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace phrases {
namespace {

constexpr unsigned char Bom[] = {0xEF, 0xBB, 0xBF};

} // namespace

PhraseFile::PhraseFile(std::size_t blockSize)
    : capacity_(blockSize < 64 ? 64 : blockSize)
{
}

PhraseFile::~PhraseFile()
{
    close();
}

void PhraseFile::open(const std::filesystem::path &path)
{
    close();
    file_.open(path);
    eof_ = false;
    started_ = false;
    // A small file gets a small buffer: setting up a large one costs more than reading it.
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(capacity_, std::max<std::uint64_t>(file_.size() + 1, 64)));
    if (!buffer_ || bufferSize_ < wanted) {
        buffer_.reset(new unsigned char[wanted]);
        bufferSize_ = wanted;
    }
    pos_ = end_ = buffer_.get();
}

void PhraseFile::close() noexcept
{
    file_.close();
    pos_ = end_ = buffer_.get();
}

bool PhraseFile::isOpen() const noexcept
{
    return file_.isOpen();
}

// Keeps what is left unread at the front of the buffer and reads behind it. Returns false
// once nothing is left.
bool PhraseFile::fill()
{
    if (!file_.isOpen())
        return false;
    const std::size_t left = available();
    if (left > 0 && pos_ != buffer_.get())
        std::memmove(buffer_.get(), pos_, left);
    pos_ = buffer_.get();
    end_ = pos_ + left;
    unsigned char *const limit = buffer_.get() + bufferSize_;
    while (!eof_ && end_ < limit) {
        const std::size_t got = file_.read(end_, static_cast<std::size_t>(limit - end_));
        if (got == 0) {
            eof_ = true;
            break;
        }
        end_ += got;
        if (!started_) {
            if (available() < sizeof Bom)
                continue;
            skipBom();
            if (available() == 0)
                continue;
        }
        break;
    }
    skipBom();
    return available() > 0;
}

void PhraseFile::skipBom() noexcept
{
    if (started_)
        return;
    started_ = true;
    if (available() >= sizeof Bom && std::memcmp(pos_, Bom, sizeof Bom) == 0)
        pos_ += sizeof Bom;
}

// The bytes that can be scanned now: a CR at the end of the buffer waits for the next
// byte, which says whether it is a lone CR or the start of CR LF.
std::size_t PhraseFile::usableBytes() const noexcept
{
    const std::size_t n = available();
    return (!eof_ && n > 0 && end_[-1] == '\r') ? n - 1 : n;
}

void PhraseFile::countLines(std::int32_t &counter, std::int32_t limit)
{
    const std::int64_t room = std::int64_t{limit} - counter;
    std::int64_t complete = 0;
    bool partial = false;
    try {
        while (fill()) {
            const std::size_t n = usableBytes();
            if (n == 0)
                continue;
            complete += static_cast<std::int64_t>(scan::countTerminators(pos_, n));
            partial = pos_[n - 1] != '\n' && pos_[n - 1] != '\r';
            pos_ += n;
            if (complete > room)
                break;
        }
    } catch (const Failure &) {
        counter = static_cast<std::int32_t>(std::min<std::int64_t>(counter + complete + 1, limit));
        throw;
    }
    const std::int64_t lines = complete + (partial ? 1 : 0);
    if (lines > room) {
        counter = limit;
        throw Failure("Overflow");
    }
    counter = static_cast<std::int32_t>(counter + lines);
}

// Moves past the next count lines, whole blocks at a time; false when the file ends first.
bool PhraseFile::skipLines(std::size_t count)
{
    while (count > 0) {
        if (!fill())
            return false;
        const std::size_t n = usableBytes();
        if (n == 0)
            continue;
        const std::size_t inBlock = scan::countTerminators(pos_, n);
        if (inBlock < count) {
            count -= inBlock;
            pos_ += n;
            continue;
        }
        pos_ += scan::skipTerminators(pos_, n, count);
        count = 0;
    }
    return true;
}

bool PhraseFile::readPhrase(std::int32_t k, std::u16string &phrase, std::size_t keepUnits, std::int32_t limit)
{
    phrase.clear();
    if (k < 1) {
        std::int32_t seen = 0;
        countLines(seen, limit);
        return false;
    }
    if (!skipLines(static_cast<std::size_t>(k - 1)))
        return false;
    // Line k exists if any byte is left, even if that byte ends it at once.
    if (available() == 0 && !fill())
        return false;

    // Only the start of the line is copied: enough for one unit more than is kept, since a
    // "/n" can begin on the last unit kept. Windows-1252 gives a unit per byte; UTF-8 at
    // least one per three bytes, less at most three bytes of a character cut off at the end.
    // Whether the line is valid UTF-8 is judged over all of it on the way past.
    constexpr std::size_t unlimited = std::numeric_limits<std::size_t>::max();
    const std::size_t copyLimit = keepUnits < (unlimited - 6) / 3 ? 3 * keepUnits + 6 : unlimited;
    std::vector<unsigned char> start;
    Utf8Validator utf8;
    for (;;) {
        const std::size_t n = available();
        const std::size_t end = scan::findLineEnd(pos_, n);
        const std::size_t copied = std::min(end, copyLimit - start.size());
        start.insert(start.end(), pos_, pos_ + copied);
        utf8.feed(pos_, end);
        pos_ += end;
        if (end < n || !fill())
            break;
    }

    phrase.resize(start.size());
    const std::size_t units = decodeLinePrefix(start.data(), start.size(), utf8.valid(), phrase.data());
    expandLineBreaks(phrase.data(), units);
    phrase.resize(std::min(units, keepUnits));
    return true;
}

} // namespace phrases
