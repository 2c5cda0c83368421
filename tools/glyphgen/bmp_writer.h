// A minimal BMP writer: uncompressed 24-bit pictures with a BITMAPINFOHEADER, rows bottom-up and
// padded to four bytes, the form every BMP reader accepts. Used by the glyph generator only.
#pragma once

#include "platform/bitmap.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace glyphgen {

// The whole file's bytes; empty for an empty bitmap or one too large for the format's 32-bit
// sizes.
std::vector<std::uint8_t> encodeBmp(const platform::Bitmap& bitmap);

// Writes encodeBmp's bytes to `path`; false when there is nothing to write or the file fails.
bool writeBmp(const std::filesystem::path& path, const platform::Bitmap& bitmap);

} // namespace glyphgen
