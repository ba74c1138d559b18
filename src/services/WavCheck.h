#pragma once

#include <QString>

namespace wavcheck {

// True for a whole PCM WAV file (8 or 16 bits, 1 or 2 channels, all its sound data there)
// of at most maxBytes. Anything else is kept from the player: Qt's sample loader waits
// for ever on a file cut short, and then hangs the program when it ends.
bool isCompletePcmWav(const QString &path, qint64 maxBytes = 64 * 1024 * 1024);

} // namespace wavcheck
