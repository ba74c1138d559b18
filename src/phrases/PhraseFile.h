#pragma once

#include "RegularFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>

namespace phrases {

// Sequential, read-only access to a phrase file: one line per phrase, lines ending at LF,
// CR LF or a lone CR, a UTF-8 byte order mark ignored. The file is read in large blocks and
// only the start of the line asked for is ever copied out, so no file, however huge, and no
// line, however long, costs memory.
class PhraseFile
{
public:
    static constexpr std::int32_t MaxLines = std::numeric_limits<std::int32_t>::max();
    // Large enough for few system calls, small enough to stay in the L2 cache while scanned.
    static constexpr std::size_t DefaultBlockSize = std::size_t{256} << 10;

    explicit PhraseFile(std::size_t blockSize = DefaultBlockSize);
    ~PhraseFile();
    PhraseFile(const PhraseFile &) = delete;
    PhraseFile &operator=(const PhraseFile &) = delete;

    // Throws Failure with the system's wording (missing file, no permission), or as
    // RegularFile::open for anything that is no regular file. Never blocks.
    void open(const std::filesystem::path &path);
    void close() noexcept;
    bool isOpen() const noexcept;

    // Raises counter by one for every line from here to the end of the file. Going past
    // limit leaves counter at limit and throws "Overflow"; a failed read leaves it at the
    // number of line reads started, the failed one included.
    void countLines(std::int32_t &counter, std::int32_t limit = MaxLines);

    // Reads line k of the file just opened and gives its phrase: decoded as UTF-8 when the
    // whole line is valid UTF-8, else as Windows-1252; each "/n" turned into CR LF; only the
    // first keepUnits UTF-16 units are kept. Returns false when the file has fewer than k
    // lines; for k < 1 it reads to the end, counting lines against limit as countLines does.
    bool readPhrase(std::int32_t k, std::u16string &phrase, std::size_t keepUnits, std::int32_t limit = MaxLines);

private:
    bool fill();
    bool skipLines(std::size_t count);
    void skipBom() noexcept;
    std::size_t available() const noexcept { return static_cast<std::size_t>(end_ - pos_); }
    std::size_t usableBytes() const noexcept;

    RegularFile file_;
    bool eof_ = false;
    bool started_ = false;
    std::size_t capacity_;
    std::size_t bufferSize_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
    unsigned char *pos_ = nullptr;
    unsigned char *end_ = nullptr;
};

} // namespace phrases
