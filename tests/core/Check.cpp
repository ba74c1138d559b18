#include "Check.h"

namespace check {
static int failures = 0;

std::vector<Case> &cases()
{
    static std::vector<Case> all;
    return all;
}

void fail(const char *file, int line, const std::string &what)
{
    ++failures;
    std::cout << "  FAIL " << file << ":" << line << ": " << what << "\n";
}

} // namespace check

int main(int argc, char **argv)
{
    const std::string only = argc > 1 ? argv[1] : "";
    int passed = 0;
    int failed = 0;
    for (const check::Case &test : check::cases()) {
        if (!only.empty() && std::string(test.name).find(only) == std::string::npos)
            continue;
        const int before = check::failures;
        try {
            test.body();
        } catch (const std::exception &error) {
            check::fail(test.name, 0, std::string("threw: ") + error.what());
        }
        const bool ok = check::failures == before;
        std::cout << (ok ? "PASS " : "FAIL ") << test.name << "\n";
        (ok ? passed : failed)++;
    }
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}
