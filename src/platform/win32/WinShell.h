#pragma once

// The system calls the program binds at first use rather than importing.
#include <string>

namespace win32 {

// SND_ASYNC | SND_NODEFAULT: return at once, and play nothing for a file that cannot be played.
constexpr unsigned SoundAsyncNoDefault = 0x0001 | 0x0002;

// An entry point of a system DLL, loaded from the system folder only; nullptr with the
// system's wording (UTF-8) in error when it cannot be bound.
void *systemEntry(const char *library, const char *entryPoint, std::string &error);

// sndPlaySoundA from winmm.dll, bound from the system folder at the first call. Returns
// false with the system's wording (UTF-8) in error only when the binding fails; the call's own
// result is of no interest.
bool playSound(const char *ansiPath, unsigned flags, std::string &error);

// ShellExecuteA from shell32.dll, bound the same way, with no verb, no parameters, the
// folder "c:\" and SW_SHOWNORMAL.
bool openWithShell(void *ownerWindow, const char *ansiAddress, std::string &error);

} // namespace win32
