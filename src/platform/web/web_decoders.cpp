// JPEG and GIF in the page: neither decoder library is built for WebAssembly here, so both
// formats are refused as a file that cannot be decoded is, and the page reads BMP alone.
#include "platform/gif_decoder.h"
#include "platform/jpeg_decoder.h"

namespace platform {

std::optional<Bitmap> decodeJpeg(std::span<const std::uint8_t>, PictureAllowance&) {
    return std::nullopt;
}

std::optional<Bitmap> decodeJpeg(std::span<const std::uint8_t>) {
    return std::nullopt;
}

std::optional<Bitmap> decodeGif(std::span<const std::uint8_t>, PictureAllowance&) {
    return std::nullopt;
}

std::optional<Bitmap> decodeGif(std::span<const std::uint8_t>) {
    return std::nullopt;
}

} // namespace platform
