#pragma once

#include <exception>
#include <new>
#include <string>

class ErrorReporter;

// One routine's error trap. Each step runs through run(): a step that throws is reported
// as "Error "<description>" in <Routine>() routine|function" and the routine goes on as it
// chooses with the result of run().
class ErrorTrap
{
public:
    enum class Kind { Routine, Function };

    ErrorTrap(ErrorReporter &reporter, const char *routine, Kind kind);

    static std::u16string message(const std::u16string &description, const char *routine, Kind kind);

    template<typename Step>
    bool run(Step &&step) noexcept
    {
        try {
            step();
            return true;
        } catch (const std::bad_alloc &) {
            report("Out of memory");
        } catch (const std::exception &failure) {
            report(failure.what());
        } catch (...) {
            report("Unknown error");
        }
        return false;
    }

private:
    void report(const char *utf8Description) noexcept;

    ErrorReporter &reporter_;
    const char *routine_;
    Kind kind_;
};
