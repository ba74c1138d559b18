#include "WavCheck.h"

#include "phrases/RegularFile.h"

#include <cstdint>
#include <cstring>
#include <exception>

namespace wavcheck {
namespace {

// What the player takes. Its loader fails on any format but 1 and on other sample sizes
// (format 0 it would play as PCM, but that says nothing of what the data is); its output gets
// no stream from PulseAudio past 24 channels or 384 kHz; below 50 Hz it divides by zero, and
// below about 64 Hz it stays silent, so the floor keeps a margin.
constexpr std::uint16_t FormatPcm = 1;
constexpr std::uint16_t MaxChannels = 24;
constexpr std::uint32_t MinRate = 100;
constexpr std::uint32_t MaxRate = 384000;
// The loader skips a chunk it does not want with one read of at most 16 KiB, header
// included, and then waits for ever for the rest.
constexpr std::uint64_t MaxSkip = 16384;
// It takes in the sound data with one read whose count is an int.
constexpr std::uint32_t MaxData = 0x7FFFFFFF;
// A real file has a handful of chunks before its sound; a file of nothing but empty chunks
// must not keep the caller walking them.
constexpr int MaxChunks = 1024;

std::uint16_t le16(const unsigned char *p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

std::uint32_t le32(const unsigned char *p)
{
    return std::uint32_t(le16(p)) | std::uint32_t(le16(p + 2)) << 16;
}

// Only a regular file is opened, without blocking: a pipe or a device could keep the
// caller waiting. Reads go forward only, skipping at most a chunk's few KiB at a time.
class Chunks
{
public:
    explicit Chunks(const std::filesystem::path &path)
        : file_(path)
        , size_(file_.size())
    {
    }

    bool read(std::uint64_t pos, unsigned char *into, std::size_t n)
    {
        if (pos < at_ || pos > size_ || n > size_ - pos)
            return false;
        unsigned char skipped[4096];
        while (at_ < pos) {
            const std::size_t got = file_.read(skipped, std::size_t(std::min<std::uint64_t>(sizeof skipped, pos - at_)));
            if (got == 0)
                return false;
            at_ += got;
        }
        for (std::size_t done = 0; done < n;) {
            const std::size_t got = file_.read(into + done, n - done);
            if (got == 0)
                return false;
            done += got;
            at_ += got;
        }
        return true;
    }

    // Walks from pos to the chunk called id the way the loader does: every other chunk is
    // skipped whole, with no pad byte after an odd length, since the loader reads none.
    // Leaves pos at the chunk's body and gives its length, which is there in full.
    bool find(const char *id, std::uint64_t &pos, std::uint32_t &length)
    {
        unsigned char header[8];
        while (++chunks_ <= MaxChunks && read(pos, header, sizeof header)) {
            length = le32(header + 4);
            pos += sizeof header;
            if (length > size_ - pos)
                return false; // cut short
            if (std::memcmp(header, id, 4) == 0)
                return true;
            if (sizeof header + length > MaxSkip)
                return false;
            pos += length;
        }
        return false;
    }

private:
    phrases::RegularFile file_;
    std::uint64_t size_;
    std::uint64_t at_ = 0;
    int chunks_ = 0;
};

bool isPlayable(const std::filesystem::path &path)
{
    Chunks file(path);
    unsigned char riff[12];
    if (!file.read(0, riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return false;

    std::uint64_t pos = sizeof riff;
    std::uint32_t length = 0;
    unsigned char fmt[16];
    // The loader reads 16 bytes of fmt whatever its length, and skips the rest like a chunk.
    if (!file.find("fmt ", pos, length) || length < sizeof fmt || length - sizeof fmt > MaxSkip
        || !file.read(pos, fmt, sizeof fmt))
        return false;
    const std::uint16_t format = le16(fmt);
    const std::uint16_t channels = le16(fmt + 2);
    const std::uint32_t rate = le32(fmt + 4);
    const std::uint16_t bits = le16(fmt + 14);
    if (format != FormatPcm || channels < 1 || channels > MaxChannels || rate < MinRate || rate > MaxRate
        || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return false;

    // Whole frames only: data that ends inside a sample leaves the loader waiting for the
    // rest of it, and a part frame makes the output fail a write.
    pos += length;
    const std::uint32_t frame = channels * (bits / 8u);
    return file.find("data", pos, length) && length > 0 && length <= MaxData && length % frame == 0;
}

} // namespace

bool isPlayableWav(const std::filesystem::path &path)
{
    try {
        return isPlayable(path);
    } catch (const std::exception &) {
        return false; // missing, unreadable or no regular file: silence
    }
}

} // namespace wavcheck
