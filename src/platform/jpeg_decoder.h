// JPEG decoding for the picture loader, through libjpeg-turbo.
//
// Implemented: baseline and progressive files; grayscale, YCbCr, RGB, CMYK and YCCK (CMYK is
// converted here, Adobe's inverted storage assumed when the file carries Adobe's marker); size
// caps and the caller's allowance (platform/picture_limits.h) checked before any pixel memory, the
// library's working memory capped by what the allowance leaves; at most kMaxJpegScans scans,
// fewer for large pictures.
// Not implemented: colour profiles, EXIF orientation, scaled decoding. Corrupt entropy data that
// the library can patch over (a truncated scan) still gives a picture; anything the library calls
// an error gives none. Nothing is printed. Any thread; no shared state.
#pragma once

#include "platform/bitmap.h"
#include "platform/picture_limits.h"

#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// Real progressive files have about ten scans; a crafted one can repeat scans without end, and
// each scan walks the whole picture. So the scans are capped, and more tightly the larger the
// picture: a few kilobytes must not buy seconds of decoding. At the pixel cap that is 64 scans.
inline constexpr int kMaxJpegScans = 500;
inline constexpr std::int64_t kMaxJpegScanPixels = 64 * kMaxPicturePixels;

// The picture of a whole JPEG file, opaque 0x00RRGGBB; std::nullopt when it cannot be decoded or
// it, with the library's working memory, would go past the allowance.
std::optional<Bitmap> decodeJpeg(std::span<const std::uint8_t> file, PictureAllowance& allowance);
// The same within the caps alone.
std::optional<Bitmap> decodeJpeg(std::span<const std::uint8_t> file);

} // namespace platform
