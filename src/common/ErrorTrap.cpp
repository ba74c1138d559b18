#include "ErrorTrap.h"

#include "ErrorReporter.h"
#include "Text.h"

ErrorTrap::ErrorTrap(ErrorReporter &reporter, const char *routine, Kind kind)
    : reporter_(reporter), routine_(routine), kind_(kind)
{
}

std::u16string ErrorTrap::message(const std::u16string &description, const char *routine, Kind kind)
{
    return u"Error \"" + description + u"\" in " + text::fromUtf8(routine) + u"() "
           + (kind == Kind::Routine ? u"routine" : u"function");
}

void ErrorTrap::report(const char *utf8Description) noexcept
{
    try {
        reporter_.report(message(text::fromUtf8(utf8Description), routine_, kind_));
    } catch (...) {
        // A report that cannot be shown must not take the program down with it.
    }
}
