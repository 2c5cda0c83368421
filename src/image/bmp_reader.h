// Our reader of BMP files (the Windows device-independent bitmap with its file header).
//
// Called by the picture loader with a whole file's bytes, which are untrusted. Every size is
// checked before pixel memory is taken; see docs/pictures.md for what loads and what is turned
// away. Any thread; no shared state.
//
// Reads: headers of 12 (core), 40 (info), 52, 56, 108 and 124 bytes; 1, 4, 8, 16, 24 and 32
// bits per pixel; uncompressed, RLE8, RLE4 and bit-field (also with alpha mask) data; rows stored
// bottom-up, or top-down for a negative height (uncompressed only). Alpha is dropped: the
// picture is opaque, as a device bitmap made from the file would be. Pixels an RLE stream skips
// are black. A colour index outside the palette rejects the whole file.
#pragma once

#include "platform/bitmap.h"
#include "platform/picture_limits.h"

#include <cstdint>
#include <optional>
#include <span>

// The picture of a whole BMP file, 0x00RRGGBB top-down; std::nullopt when the file is rejected or
// its picture is past the allowance (checked after the headers, before the pixels are taken).
std::optional<platform::Bitmap> readBmp(std::span<const std::uint8_t> file,
                                        platform::PictureAllowance& allowance);
// The same within the caps alone.
std::optional<platform::Bitmap> readBmp(std::span<const std::uint8_t> file);
