#include "PhraseFile.h"

#include "Checked32.h"
#include "Failure.h"
#include "LineScan.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace phrases {
namespace {

[[noreturn]] void failWithErrno(int error)
{
    throw Failure(std::strerror(error));
}

#ifdef _WIN32
int openForReading(const std::filesystem::path &path)
{
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}
long long readSome(int fd, unsigned char *into, std::size_t size)
{
    return ::_read(fd, into, static_cast<unsigned>(size > 0x40000000u ? 0x40000000u : size));
}
#else
int openForReading(const std::filesystem::path &path)
{
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}
long long readSome(int fd, unsigned char *into, std::size_t size)
{
    return ::read(fd, into, size);
}
#endif

struct FileKind
{
    bool directory = false;
    std::uint64_t size = 0;
};

FileKind kindOf(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return {};
    return {(info.st_mode & S_IFMT) == S_IFDIR, info.st_size > 0 ? std::uint64_t(info.st_size) : 0};
}

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
    const int fd = openForReading(path);
    if (fd < 0)
        failWithErrno(errno);
    const FileKind kind = kindOf(fd);
    if (kind.directory) {
#ifdef _WIN32
        ::_close(fd);
#else
        ::close(fd);
#endif
        failWithErrno(EISDIR);
    }
    fd_ = fd;
    sizeAtOpen_ = kind.size;
    consumedBefore_ = 0;
    eof_ = false;
    started_ = false;
    if (!buffer_)
        buffer_ = std::make_unique<unsigned char[]>(capacity_);
    pos_ = end_ = buffer_.get();
}

void PhraseFile::close() noexcept
{
    if (fd_ >= 0) {
#ifdef _WIN32
        ::_close(fd_);
#else
        ::close(fd_);
#endif
    }
    fd_ = -1;
    pos_ = end_ = buffer_.get();
}

bool PhraseFile::isOpen() const noexcept
{
    return fd_ >= 0;
}

// Keeps what is left unread at the front of the buffer and reads behind it. Returns false
// once nothing is left.
bool PhraseFile::fill()
{
    if (fd_ < 0)
        return false;
    consumedBefore_ += std::uint64_t(pos_ - buffer_.get());
    const std::size_t left = available();
    if (left > 0 && pos_ != buffer_.get())
        std::memmove(buffer_.get(), pos_, left);
    pos_ = buffer_.get();
    end_ = pos_ + left;
    unsigned char *const limit = buffer_.get() + capacity_;
    while (!eof_ && end_ < limit) {
        const long long got = readSome(fd_, end_, static_cast<std::size_t>(limit - end_));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            failWithErrno(errno);
        }
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

bool PhraseFile::readLine(std::int32_t k, std::string &bytes, std::int32_t limit)
{
    bytes.clear();
    if (k < 1) {
        std::int32_t seen = 0;
        countLines(seen, limit);
        return false;
    }
    // Skip the k - 1 lines before the one asked for, whole blocks at a time.
    auto toSkip = static_cast<std::size_t>(k - 1);
    while (toSkip > 0) {
        if (!fill())
            return false;
        const std::size_t n = usableBytes();
        if (n == 0)
            continue;
        const std::size_t inBlock = scan::countTerminators(pos_, n);
        if (inBlock < toSkip) {
            toSkip -= inBlock;
            pos_ += n;
            continue;
        }
        pos_ += scan::skipTerminators(pos_, n, toSkip);
        toSkip = 0;
    }
    // Line k exists if any byte is left, even if that byte ends it at once.
    if (available() == 0 && !fill())
        return false;
    for (bool first = true;; first = false) {
        const std::size_t n = available();
        const std::size_t end = scan::findLineEnd(pos_, n);
        if (first && end == n) {
            // A line longer than a block: make room for the rest of the file at once rather
            // than let the copy grow by doubling.
            const std::uint64_t at = consumedBefore_ + std::uint64_t(pos_ - buffer_.get());
            if (sizeAtOpen_ > at && sizeAtOpen_ - at <= bytes.max_size())
                bytes.reserve(std::size_t(sizeAtOpen_ - at));
        }
        bytes.append(reinterpret_cast<const char *>(pos_), end);
        pos_ += end;
        if (end < n || !fill())
            return true;
    }
}

} // namespace phrases
