#include "platform/encoded_pictures.h"

#include <bit>
#include <stdexcept>

namespace testing_pictures {

std::vector<std::uint32_t> quadrants(int width, int height) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            pixels.push_back(bottom ? (right ? 0xFFFFFF : 0x0000FF)
                                    : (right ? 0x00FF00 : 0xFF0000));
        }
    }
    return pixels;
}

std::size_t jpegFrameHeader(const std::vector<std::uint8_t>& jpeg) {
    for (std::size_t i = 2; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xC0 && jpeg[i + 1] <= 0xC2) {
            return i;
        }
    }
    throw std::logic_error("no frame header");
}

void shrinkGlobalMap(std::vector<std::uint8_t>& gif, int entries) {
    constexpr std::size_t kPacked = 10;
    constexpr std::size_t kMapStart = 13;
    const std::size_t oldEntries = std::size_t{2} << (gif[kPacked] & 7);
    gif[kPacked] =
        static_cast<std::uint8_t>((gif[kPacked] & ~7) | (std::countr_zero(unsigned(entries)) - 1));
    gif.erase(gif.begin() + static_cast<std::ptrdiff_t>(kMapStart + 3 * entries),
              gif.begin() + static_cast<std::ptrdiff_t>(kMapStart + 3 * oldEntries));
}

} // namespace testing_pictures
