// Fuzz target: the PNG size read. PNG is only sized, never decoded, and only the picture loader
// does it, so the input is what follows the signature; the loader must give no picture and the
// big-endian sides of the IHDR chunk, 0 for a side the file does not hold.
#include "image/picture_file.h"

#include <array>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// The side at `at` of the input, where the file has the signature in front of it.
std::int32_t expectedSide(const std::uint8_t* data, std::size_t size, std::size_t at) {
    const std::size_t in = at - kSignature.size();
    if (size < in + 4) {
        return 0;
    }
    return static_cast<std::int32_t>((std::uint32_t{data[in]} << 24) |
                                     (std::uint32_t{data[in + 1]} << 16) |
                                     (std::uint32_t{data[in + 2]} << 8) | data[in + 3]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> png(kSignature.begin(), kSignature.end());
    png.insert(png.end(), data, data + size);
    PictureFile file;
    if (file.loadBytes(png) != 0 || file.format != PictureFormat::Png ||
        file.bitmapHandle() != nullptr || file.width != expectedSide(data, size, 16) ||
        file.height != expectedSide(data, size, 20)) {
        std::abort();
    }
    return 0;
}
