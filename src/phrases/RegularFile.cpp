#include "RegularFile.h"

#include "Failure.h"

#include <algorithm>
#include <limits>
#include <string>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace phrases {
namespace {

constexpr const char *NotRegular = "Not a regular file";

#ifdef _WIN32

// Windows' own texts for these speak of saving and of directory names; say it plainly.
const char *directoryText()
{
    return "Is a directory";
}

const char *tooLargeText()
{
    return "File too large";
}

// The system's own text for an error, in UTF-8, without the line end it comes with.
[[noreturn]] void failWithError(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                              | FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring wide(text ? text : L"", text ? length : 0);
    if (text)
        ::LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' '))
        wide.pop_back();
    std::string description;
    if (!wide.empty()) {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr,
                                               nullptr);
        description.resize(std::size_t(size > 0 ? size : 0));
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), description.data(), size, nullptr,
                              nullptr);
    }
    if (description.empty())
        description = "Error " + std::to_string(error);
    throw Failure(description);
}

#else

const char *directoryText()
{
    return std::strerror(EISDIR);
}

const char *tooLargeText()
{
    return std::strerror(EFBIG);
}

[[noreturn]] void failWithErrno(int error)
{
    throw Failure(std::strerror(error));
}

#endif

} // namespace

RegularFile::RegularFile(const std::filesystem::path &path)
{
    open(path);
}

RegularFile::~RegularFile()
{
    close();
}

#ifdef _WIN32

void RegularFile::open(const std::filesystem::path &path)
{
    close();
    // Backup semantics let a folder open too, so it can be named as one; any other sharing
    // mode would fail on a phrase file that an editor holds open.
    HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        failWithError(::GetLastError());
    const char *refusal = nullptr;
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER size{};
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        refusal = NotRegular;
    } else if (!::GetFileInformationByHandle(handle, &info) || !::GetFileSizeEx(handle, &size)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(handle);
        failWithError(error);
    } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        refusal = directoryText();
    }
    if (refusal) {
        ::CloseHandle(handle);
        throw Failure(refusal);
    }
    handle_ = handle;
    size_ = left_ = size.QuadPart > 0 ? std::uint64_t(size.QuadPart) : 0;
}

void RegularFile::close() noexcept
{
    if (handle_)
        ::CloseHandle(handle_);
    handle_ = nullptr;
}

bool RegularFile::isOpen() const noexcept
{
    return handle_ != nullptr;
}

std::size_t RegularFile::read(unsigned char *into, std::size_t n)
{
    const auto want = static_cast<DWORD>(std::min<std::uint64_t>({n, left_, 1u << 30}));
    if (!handle_ || want == 0)
        return 0;
    DWORD got = 0;
    if (!::ReadFile(handle_, into, want, &got, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_HANDLE_EOF)
            failWithError(error);
    }
    // A file cut short while open ends where it was cut.
    left_ = got == 0 ? 0 : left_ - got;
    return got;
}

#else

void RegularFile::open(const std::filesystem::path &path)
{
    close();
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer; O_NOCTTY: a terminal
    // named here must not become the program's.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        // A socket cannot be opened at all, and "No such device or address" would mislead.
        struct stat info {};
        if (error == ENXIO && ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
            throw Failure(NotRegular);
        failWithErrno(error);
    }
    struct stat info {};
    const char *refusal = nullptr;
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        failWithErrno(error);
    }
    if (S_ISDIR(info.st_mode))
        refusal = directoryText();
    else if (!S_ISREG(info.st_mode))
        refusal = NotRegular;
    if (refusal) {
        ::close(fd);
        throw Failure(refusal);
    }
    fd_ = fd;
    size_ = left_ = info.st_size > 0 ? std::uint64_t(info.st_size) : 0;
}

void RegularFile::close() noexcept
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool RegularFile::isOpen() const noexcept
{
    return fd_ >= 0;
}

std::size_t RegularFile::read(unsigned char *into, std::size_t n)
{
    // One call reads at most 1 GiB, which every system takes whole.
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>({n, left_, 1u << 30}));
    if (fd_ < 0 || want == 0)
        return 0;
    for (;;) {
        const ssize_t got = ::read(fd_, into, want);
        if (got >= 0) {
            // A file cut short while open ends where it was cut.
            left_ = got == 0 ? 0 : left_ - std::uint64_t(got);
            return std::size_t(got);
        }
        if (errno != EINTR)
            failWithErrno(errno);
    }
}

#endif

std::vector<unsigned char> readRegularFile(const std::filesystem::path &path, std::uint64_t maxBytes)
{
    RegularFile file(path);
    if (file.size() > maxBytes || file.size() > std::numeric_limits<std::size_t>::max())
        throw Failure(tooLargeText());
    std::vector<unsigned char> bytes(static_cast<std::size_t>(file.size()));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t got = file.read(bytes.data() + done, bytes.size() - done);
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

} // namespace phrases
