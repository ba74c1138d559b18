#pragma once

#include "DataFiles.h"

#include <cstdint>
#include <filesystem>
#include <functional>

class ErrorReporter;
class SystemServices;
namespace phrases {
class RandomSource;
}

// What the window's routines take from the world around them: each face gives the real
// things (message boxes, the operating system, the executable's folder), tests give
// recorders. A random source left empty is the clock-seeded one.
struct Environment
{
    ErrorReporter *reporter = nullptr;
    SystemServices *services = nullptr;
    std::function<std::filesystem::path()> applicationFolder;
    phrases::RandomSource *random = nullptr;
    // The line counters' limit; lowered only by tests of the overflow path.
    std::int32_t lineLimit = 2147483647;
    // The user's own folder (none when empty) and the files named on the command line, which
    // come before the executable's folder.
    std::filesystem::path userFolder;
    datafiles::NamedFiles named;
};
