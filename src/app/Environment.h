#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class ErrorReporter;
class SystemServices;
namespace phrases {
class RandomSource;
}

// What the window takes from the world around it. Anything left empty is the real thing:
// message boxes, the clock-seeded draw, the operating system, the executable's folder.
struct Environment
{
    ErrorReporter *reporter = nullptr;
    phrases::RandomSource *random = nullptr;
    SystemServices *services = nullptr;
    std::function<QString()> applicationFolder;
    // The line counters' limit; lowered only by tests of the overflow path.
    std::int32_t lineLimit = 2147483647;
};
