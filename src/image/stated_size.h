// The size of picture a file's first bytes state, so that a picture past the caps or the memory
// left can be turned away before its file is read whole.
//
// Untrusted bytes; the readers check everything again on the whole file. Pure, any thread.
#pragma once

#include "image/picture_file.h"

#include <cstdint>
#include <optional>
#include <span>

struct StatedSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The picture's size as the head of a BMP, GIF or JPEG file states it; std::nullopt when the head
// does not say (a GIF screen of zero size, a JPEG frame header past the head, another format).
std::optional<StatedSize> statedPictureSize(PictureFormat format,
                                            std::span<const std::uint8_t> head);
