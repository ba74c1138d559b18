#include "DataFiles.h"

#include <system_error>
#include <utility>

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
    // The specification: a relative path in the variable is invalid and is ignored.
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

std::filesystem::path choose(Kind kind, const NamedFiles &named, const std::filesystem::path &userFolder,
                             const std::function<std::filesystem::path()> &programFolder)
{
    if (!named[kind].empty())
        return named[kind];
    if (!userFolder.empty()) {
        std::filesystem::path own = userFolder / fileName(kind);
        // A dangling link or a folder that cannot be searched is there all the same: it is
        // reported when read, never passed over for the program's file.
        std::error_code error;
        if (std::filesystem::symlink_status(own, error).type() != std::filesystem::file_type::not_found)
            return own;
    }
    return programFolder() / fileName(kind);
}

} // namespace datafiles
