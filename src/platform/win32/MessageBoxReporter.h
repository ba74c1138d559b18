#pragma once

#include "common/ErrorReporter.h"

#include <windows.h>

// Failure reports in the stop-icon message box captioned with the program's title, owned by
// the window once the user can see it.
class MessageBoxReporter : public ErrorReporter
{
public:
    void setWindow(HWND window) { window_ = window; }
    void report(const std::u16string &message) override;

private:
    HWND window_ = nullptr;
};
