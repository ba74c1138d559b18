#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace phrases {

// A regular file opened for reading. Opening never blocks and never reads anything that is
// not a regular file: a pipe, a device, a socket or a folder is refused at once, so no file
// in the program's folder can make it wait or read without end. Reads stop at the size the
// file had when it was opened, however much it grows meanwhile.
class RegularFile
{
public:
    RegularFile() = default;
    // Opens at once; see open().
    explicit RegularFile(const std::filesystem::path &path);
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;

    // Throws Failure with the system's wording (missing file, no permission), "Is a directory"
    // for a folder and "Not a regular file" for anything else that is no regular file.
    void open(const std::filesystem::path &path);
    void close() noexcept;
    bool isOpen() const noexcept;

    // Size when opened.
    std::uint64_t size() const noexcept { return size_; }

    // Reads up to n bytes into into; 0 once the size at opening is reached or the file ends
    // sooner. Throws Failure with the system's wording.
    std::size_t read(unsigned char *into, std::size_t n);

private:
#ifdef _WIN32
    void *handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    std::uint64_t size_ = 0;
    std::uint64_t left_ = 0;
};

// The whole content of a regular file, read without blocking; anything else (a pipe, a device,
// a folder, a socket) or a file above maxBytes throws Failure with a clear description.
std::vector<unsigned char> readRegularFile(const std::filesystem::path &path, std::uint64_t maxBytes);

} // namespace phrases
