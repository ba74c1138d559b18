#include "MessageBoxReporter.h"

#include "WinText.h"
#include "common/ProgramInfo.h"

void MessageBoxReporter::report(const std::u16string &message)
{
    // Until the window is shown there is nothing on screen to own the box.
    const HWND owner = window_ && IsWindowVisible(window_) ? window_ : nullptr;
    MessageBoxW(owner, wintext::wide(message).c_str(), wintext::wide(std::string_view(program::Title)).c_str(),
                MB_ICONSTOP | MB_OK);
}
