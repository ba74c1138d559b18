#include "WinShell.h"

#include "WinText.h"

#include <windows.h>

namespace win32 {
namespace {

template<typename Function>
Function bindOnce(Function &slot, const char *library, const char *entryPoint, std::string &error)
{
    if (!slot)
        slot = reinterpret_cast<Function>(systemEntry(library, entryPoint, error));
    return slot;
}

using SndPlaySoundA = BOOL(WINAPI *)(LPCSTR, UINT);
using ShellExecuteAFn = HINSTANCE(WINAPI *)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

SndPlaySoundA sndPlaySound = nullptr;
ShellExecuteAFn shellExecute = nullptr;

} // namespace

// Only the system folder is searched: a DLL of the same name dropped beside the program,
// where users put files from anywhere, must never be loaded.
void *systemEntry(const char *library, const char *entryPoint, std::string &error)
{
    HMODULE module = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC address = module ? GetProcAddress(module, entryPoint) : nullptr;
    if (!address)
        error = wintext::lastErrorText();
    return reinterpret_cast<void *>(address);
}

bool playSound(const char *ansiPath, unsigned flags, std::string &error)
{
    const auto play = bindOnce(sndPlaySound, "winmm.dll", "sndPlaySoundA", error);
    if (!play)
        return false;
    play(ansiPath, flags);
    return true;
}

bool openWithShell(void *ownerWindow, const char *ansiAddress, std::string &error)
{
    const auto open = bindOnce(shellExecute, "shell32.dll", "ShellExecuteA", error);
    if (!open)
        return false;
    open(static_cast<HWND>(ownerWindow), nullptr, ansiAddress, nullptr, "c:\\", SW_SHOWNORMAL);
    return true;
}

} // namespace win32
