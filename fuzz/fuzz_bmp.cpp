// Fuzz target: any bytes as a whole BMP file, straight into our reader.
#include "image/bmp_reader.h"
#include "platform/picture_limits.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = readBmp(std::span<const std::uint8_t>(data, size));
    if (picture &&
        (!platform::pictureSizeAllowed(picture->width, picture->height) ||
         picture->pixels.size() != static_cast<std::size_t>(picture->width) * picture->height)) {
        std::abort();
    }
    return 0;
}
