#pragma once

#include <filesystem>

namespace wavcheck {

// True for a whole WAV file that Qt 6.4's QSoundEffect loads and plays through PulseAudio:
// integer PCM (format 1) of 8, 16, 24 or 32 bits, 1 to 24 channels, 100 Hz to 384 kHz, with
// all its sound data there in whole frames. Anything else is kept from the player, which
// waits for ever on a file it cannot read to the end (and then hangs the program when a
// player is destroyed), crashes on some, and fails on the rest.
// Only a regular file is opened, and only its chunk headers are read: never a pipe or device.
bool isPlayableWav(const std::filesystem::path &path);

} // namespace wavcheck
