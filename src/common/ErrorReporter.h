#pragma once

#include <string>

// Where failure reports go: a message box in the program, a recorder in the tests.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;
    virtual void report(const std::u16string &message) = 0;
};
