#include "DataFiles.h"

#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace datafiles {

const char *fileName(Kind kind)
{
    switch (kind) {
    case Kind::Phrases: return "cazzate.txt";
    case Kind::Photo: return "foto.jpg";
    case Kind::Tune: return "audio.wav";
    }
    return "";
}

const std::filesystem::path &NamedFiles::operator[](Kind kind) const
{
    switch (kind) {
    case Kind::Photo: return photo;
    case Kind::Tune: return tune;
    case Kind::Phrases: break;
    }
    return phrases;
}

std::filesystem::path &NamedFiles::operator[](Kind kind)
{
    return const_cast<std::filesystem::path &>(std::as_const(*this)[kind]);
}

std::filesystem::path xdgUserFolder(const char *configHome, const char *home)
{
    // A relative path in the variable is invalid, as the XDG base directories have it: ignored.
    if (configHome && std::filesystem::path(configHome).is_absolute())
        return std::filesystem::path(configHome) / "ciarlatronix";
    if (home && *home)
        return std::filesystem::path(home) / ".config" / "ciarlatronix";
    return {};
}

std::filesystem::path appDataUserFolder(const std::filesystem::path &appData)
{
    return appData.empty() ? appData : appData / "Ciarlatronix";
}

namespace {

// Whether a name is there, whatever it is: a broken link counts. On Windows the library's
// symlink_status follows links, so the system is asked directly.
bool nameIsThere(const std::filesystem::path &path)
{
#ifdef _WIN32
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
#else
    // A folder that cannot be searched is there all the same (the error is reported when the
    // file is read); only a name that is not there is passed over.
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
#endif
}

} // namespace

std::filesystem::path choose(Kind kind, const NamedFiles &named, const std::filesystem::path &userFolder,
                             const std::function<std::filesystem::path()> &programFolder)
{
    if (!named[kind].empty())
        return named[kind];
    if (!userFolder.empty()) {
        std::filesystem::path own = userFolder / fileName(kind);
        if (nameIsThere(own))
            return own;
    }
    return programFolder() / fileName(kind);
}

} // namespace datafiles
