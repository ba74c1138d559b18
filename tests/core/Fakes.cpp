#include "Fakes.h"

#include <atomic>
#include <chrono>

#ifndef _WIN32
#include <sys/stat.h>
#endif

TestFolder::TestFolder()
{
    static std::atomic<int> made{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = std::filesystem::temp_directory_path()
           / ("ciarla-test-" + std::to_string(stamp) + "-" + std::to_string(made++));
    std::filesystem::create_directories(dir_);
}

TestFolder::~TestFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

bool TestFolder::makePipe(const char *name) const
{
#ifdef _WIN32
    (void)name;
    return false;
#else
    return ::mkfifo(file(name).c_str(), 0600) == 0;
#endif
}

