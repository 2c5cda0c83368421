// The size caps every picture reader checks before it takes pixel memory.
//
// Picture files are untrusted: a header may claim any size. The glyphs and the backdrop are a few
// hundred pixels wide, so these caps only ever turn away crafted or broken files. Pure functions,
// any thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

inline constexpr std::int64_t kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = 16 * 1024 * 1024;
// Enough for an uncompressed 32-bit BMP of kMaxPicturePixels with its headers.
inline constexpr std::size_t kMaxPictureFileBytes = 80u * 1024 * 1024;

// True when a picture of width × height may be allocated: both sides 1..kMaxPictureSide and at
// most kMaxPicturePixels in all. Takes 64-bit sides so callers never overflow before asking.
constexpr bool pictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

} // namespace platform
