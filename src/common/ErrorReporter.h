#pragma once

#include <QString>

// Where failure reports go: message boxes in the program, a recorder in the tests.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;
    virtual void report(const QString &message) = 0;
};
