#pragma once

#include <vector>

#include <windows.h>

namespace photo {

// Decodes a picture file's bytes with OLE's picture loader (JPEG, GIF, BMP, icons,
// metafiles) into a bitmap of its natural pixel size, which the caller owns. A picture
// whose header declares more than the core allows is refused before the loader sees it.
// Throws phrases::Failure in words a user understands when it cannot.
HBITMAP decode(const std::vector<unsigned char> &file);

} // namespace photo
