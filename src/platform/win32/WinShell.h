#pragma once

// The two old Windows calls the program makes, bound at first use.
#include <string>

namespace win32 {

// SND_ASYNC | SND_NODEFAULT: return at once, and play nothing for a file that cannot be played.
constexpr unsigned SoundAsyncNoDefault = 0x0001 | 0x0002;

// sndPlaySoundA from winmm.dll, bound from the system folder at the first call. Returns
// false with the system's wording (UTF-8) in error only when the binding fails; the call's own
// result is of no interest.
bool playSound(const char *ansiPath, unsigned flags, std::string &error);

// ShellExecuteA from shell32.dll, bound the same way, with no verb, no parameters, the
// folder "c:\" and SW_SHOWNORMAL.
bool openWithShell(void *ownerWindow, const char *ansiAddress, std::string &error);

} // namespace win32
