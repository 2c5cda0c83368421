// Fuzz target: any bytes as a whole GIF file, through our giflib decoder.
#include "platform/gif_decoder.h"
#include "platform/picture_limits.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = platform::decodeGif(std::span<const std::uint8_t>(data, size));
    if (picture &&
        (!platform::pictureSizeAllowed(picture->width, picture->height) ||
         picture->pixels.size() != static_cast<std::size_t>(picture->width) * picture->height)) {
        std::abort();
    }
    return 0;
}
