// GIF decoding for the picture loader, through giflib, from memory.
//
// Implemented: the first image of the file only, placed at its offset on the logical screen and
// clipped to it; interlaced images; the transparent index of a graphics control extension before
// that image. The picture has the logical screen's size (the first image's extent when the screen
// states a zero side); pixels the image does not cover, and transparent ones, take the background
// colour of the global colour map, or black when there is none or its index is outside the map.
// Not implemented: animation (later frames are never read), the pixel aspect ratio.
// Rejected: sizes over the caps of platform/picture_limits.h (screen or image), a screen or an
// image past the caller's allowance (the larger counts as the picture's size: the whole image is
// decoded), an image without any colour map, a colour index outside the colour map, a file that
// ends or breaks before the first image is complete, a file without an image. Any thread; no
// shared state.
#pragma once

#include "platform/bitmap.h"
#include "platform/picture_limits.h"

#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// The first picture of a whole GIF file, opaque 0x00RRGGBB; std::nullopt when it cannot be
// decoded or its screen or image is past the allowance (checked before any pixels are taken).
std::optional<Bitmap> decodeGif(std::span<const std::uint8_t> file, PictureAllowance& allowance);
// The same within the caps alone.
std::optional<Bitmap> decodeGif(std::span<const std::uint8_t> file);

} // namespace platform
