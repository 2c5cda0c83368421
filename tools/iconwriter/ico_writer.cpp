#include "ico_writer.h"

#include <algorithm>

namespace iconwriter {
namespace {

constexpr std::size_t kMaxColours = 16;
constexpr std::uint32_t kDirectorySize = 6 + 16;
constexpr std::uint32_t kInfoHeaderSize = 40;

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFFu);
    put16(out, value >> 16);
}

// Rows of a bitmap resource are padded to whole 32-bit words.
std::uint32_t rowBytes(int width, int bitsPerPixel) {
    return (static_cast<std::uint32_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

} // namespace

std::vector<std::uint8_t> encodeIco(const platform::Bitmap& picture) {
    if (picture.width < 1 || picture.width > 255 || picture.height < 1 || picture.height > 255) {
        return {};
    }
    std::vector<std::uint32_t> palette;
    for (const std::uint32_t pixel : picture.pixels) {
        if (std::find(palette.begin(), palette.end(), pixel) == palette.end()) {
            if (palette.size() == kMaxColours) {
                return {};
            }
            palette.push_back(pixel);
        }
    }
    palette.resize(kMaxColours, 0);

    const std::uint32_t colourRow = rowBytes(picture.width, 4);
    const std::uint32_t maskRow = rowBytes(picture.width, 1);
    const std::uint32_t pixelBytes =
        (colourRow + maskRow) * static_cast<std::uint32_t>(picture.height);
    const std::uint32_t imageBytes = kInfoHeaderSize + kMaxColours * 4 + pixelBytes;

    std::vector<std::uint8_t> out;
    out.reserve(kDirectorySize + imageBytes);
    put16(out, 0); // reserved
    put16(out, 1); // an icon, not a cursor
    put16(out, 1); // one picture
    out.push_back(static_cast<std::uint8_t>(picture.width));
    out.push_back(static_cast<std::uint8_t>(picture.height));
    out.push_back(static_cast<std::uint8_t>(kMaxColours));
    out.push_back(0);
    put16(out, 1); // planes
    put16(out, 4); // bits a pixel
    put32(out, imageBytes);
    put32(out, kDirectorySize);

    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(picture.width));
    put32(out, static_cast<std::uint32_t>(picture.height) * 2); // colour rows, then mask rows
    put16(out, 1);
    put16(out, 4);
    put32(out, 0); // uncompressed
    put32(out, pixelBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, kMaxColours);
    put32(out, 0);
    for (const std::uint32_t colour : palette) {
        put32(out, colour & 0x00FFFFFFu); // blue, green, red, 0 in file order
    }

    for (int y = picture.height - 1; y >= 0; --y) { // bottom-up
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < picture.width; ++x) {
            const auto index = static_cast<std::uint8_t>(
                std::find(palette.begin(), palette.end(), picture.pixel(x, y)) - palette.begin());
            row[static_cast<std::size_t>(x / 2)] |= (x % 2 == 0) ? index << 4 : index;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    // An all-clear AND mask: every pixel is opaque.
    out.insert(out.end(), static_cast<std::size_t>(maskRow) * picture.height, 0);
    return out;
}

} // namespace iconwriter
