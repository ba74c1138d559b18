#pragma once

#include <QString>

#include <exception>
#include <new>

class ErrorReporter;

// One routine's error trap. Each step runs through run(): a step that throws is reported
// as "Error "<description>" in <Routine>() routine|function" and the routine goes on as it
// chooses with the result of run().
class ErrorTrap
{
public:
    enum class Kind { Routine, Function };

    ErrorTrap(ErrorReporter &reporter, const char *routine, Kind kind);

    static QString message(const QString &description, const char *routine, Kind kind);

    template<typename Step>
    bool run(Step &&step) noexcept
    {
        try {
            step();
            return true;
        } catch (const std::bad_alloc &) {
            report(QStringLiteral("Out of memory"));
        } catch (const std::exception &failure) {
            report(QString::fromUtf8(failure.what()));
        } catch (...) {
            report(QStringLiteral("Unknown error"));
        }
        return false;
    }

private:
    void report(const QString &description) noexcept;

    ErrorReporter &reporter_;
    const char *routine_;
    Kind kind_;
};
