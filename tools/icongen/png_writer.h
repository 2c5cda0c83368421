// A minimal PNG writer for the desktop and page icons: 8-bit palette pictures, the image data
// deflated by zlib. The icons have a dozen colours, so a palette holds them exactly.
#pragma once

#include "platform/bitmap.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace icongen {

// The whole file's bytes; empty for an empty bitmap or one with more than 256 colours.
std::vector<std::uint8_t> encodePng(const platform::Bitmap& bitmap);

// Writes encodePng's bytes to `path`; false when there is nothing to write or the file fails.
bool writePng(const std::filesystem::path& path, const platform::Bitmap& bitmap);

} // namespace icongen
