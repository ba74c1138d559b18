// Builds the Windows calls outside Qt and, run on Windows, proves they bind.
// Usage: winshell_check [SOUND.wav [ADDRESS]]; an address is opened only when given.
#include "WinShell.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    int failures = 0;
    std::string error;

    // A file that is not there plays nothing, thanks to SND_NODEFAULT.
    const char *sound = argc > 1 ? argv[1] : "winshell_check_missing.wav";
    if (win32::playSound(sound, win32::SoundAsyncNoDefault, error)) {
        std::printf("PASS: sndPlaySoundA bound, played %s\n", sound);
    } else {
        std::printf("FAIL: sndPlaySoundA: %s\n", error.c_str());
        ++failures;
    }

    if (argc > 2) {
        error.clear();
        if (win32::openWithShell(nullptr, argv[2], error)) {
            std::printf("PASS: ShellExecuteA bound, opened %s\n", argv[2]);
        } else {
            std::printf("FAIL: ShellExecuteA: %s\n", error.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
