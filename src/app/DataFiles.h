#pragma once

#include <filesystem>
#include <functional>

// Where the three data files are read from: a file named on the command line, else the
// user's own folder, else the program's folder. Chosen anew each time a file is used, so a
// file put in the user's folder while the program runs is taken from then on.
namespace datafiles {

enum class Kind { Phrases, Photo, Tune };

// "cazzate.txt", "foto.jpg", "audio.wav".
const char *fileName(Kind kind);

// The files named on the command line; an empty path is one not named.
struct NamedFiles
{
    std::filesystem::path phrases;
    std::filesystem::path photo;
    std::filesystem::path tune;

    const std::filesystem::path &operator[](Kind kind) const;
    std::filesystem::path &operator[](Kind kind);
};

// The user's own folder on Linux, as the XDG base directories have it:
// $XDG_CONFIG_HOME/ciarlatronix, or $HOME/.config/ciarlatronix when the variable is unset,
// empty or not an absolute path. Empty when there is no home either.
std::filesystem::path xdgUserFolder(const char *configHome, const char *home);

// The user's own folder on Windows: %APPDATA%\Ciarlatronix; empty without APPDATA.
std::filesystem::path appDataUserFolder(const std::filesystem::path &appData);

// The path of a kind's file. A name in the user's folder counts whatever it is (a folder or a
// pipe is then reported by whoever reads it, as in the program's folder); only a name that is
// not there falls back. The program's folder is asked for only when it is needed.
std::filesystem::path choose(Kind kind, const NamedFiles &named, const std::filesystem::path &userFolder,
                             const std::function<std::filesystem::path()> &programFolder);

} // namespace datafiles
