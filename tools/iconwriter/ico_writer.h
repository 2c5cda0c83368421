// A minimal icon-file writer: one picture of at most 16 colours per file, 4 bits a pixel with
// its palette, fully opaque: the form of the program's icon resources. Used by the icon writer,
// which the Windows build runs on the build machine.
#pragma once

#include "platform/bitmap.h"

#include <cstdint>
#include <vector>

namespace iconwriter {

// The whole .ico file; empty for a picture that is not 1-255 pixels a side or has more than 16
// colours.
std::vector<std::uint8_t> encodeIco(const platform::Bitmap& picture);

} // namespace iconwriter
