// A PNG file of a 32-bit image: 8-bit RGB, no interlace, compressed with
// zlib. For pictures written without a window system (tessaly-cli track).
#pragma once

#include <string>

#include "core/TrackStyle.h"

namespace tessaly {

// The PNG file's bytes; the alpha of every pixel is dropped.
std::string EncodePng(const PixelBuffer& image);

}  // namespace tessaly
