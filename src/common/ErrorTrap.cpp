#include "ErrorTrap.h"

#include "ErrorReporter.h"

ErrorTrap::ErrorTrap(ErrorReporter &reporter, const char *routine, Kind kind)
    : reporter_(reporter), routine_(routine), kind_(kind)
{
}

QString ErrorTrap::message(const QString &description, const char *routine, Kind kind)
{
    return QStringLiteral("Error \"%1\" in %2() %3")
        .arg(description, QLatin1String(routine),
             kind == Kind::Routine ? QLatin1String("routine") : QLatin1String("function"));
}

void ErrorTrap::report(const QString &description) noexcept
{
    try {
        reporter_.report(message(description, routine_, kind_));
    } catch (...) {
        // A report that cannot be shown must not take the program down with it.
    }
}
