#pragma once

#include "DataFiles.h"

#include <filesystem>
#include <string>
#include <vector>

// The program's command line, the same on every platform: three files that can be named,
// --help and --version. Each face passes its arguments in UTF-8 and shows the text it gets
// back its own way.
namespace commandline {

// Where the help says the files are looked for; an empty user folder is none.
struct Folders
{
    std::filesystem::path user;
    std::filesystem::path program;
};

struct Outcome
{
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // For Run: the files named, relative names already taken from the current folder.
    datafiles::NamedFiles named;
    // For Help, Version and Error: the lines to show, each ending in a newline.
    std::string text;
    // 0, or 2 for a command line that is not understood.
    int exitStatus = 0;
};

// arguments: everything after the program's own name.
Outcome parse(const std::vector<std::string> &arguments, const Folders &folders);

} // namespace commandline
