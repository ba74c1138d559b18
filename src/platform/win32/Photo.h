#pragma once

#include <vector>

#include <windows.h>

namespace photo {

// Decodes a picture file's bytes with OLE's picture loader (JPEG, GIF, BMP, icons,
// metafiles) into a bitmap of its natural pixel size, which the caller owns. Throws
// phrases::Failure in the system's words when the loader cannot.
HBITMAP decode(const std::vector<unsigned char> &file);

} // namespace photo
