#include "bmp_writer.h"

#include <fstream>
#include <limits>

namespace glyphgen {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
// 72 dots per inch, in the format's pixels per metre.
constexpr std::int32_t kPixelsPerMetre = 2835;

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

} // namespace

std::vector<std::uint8_t> encodeBmp(const platform::Bitmap& bitmap) {
    if (bitmap.empty() ||
        bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height) {
        return {};
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(bitmap.width) * 3 + 3) / 4 * 4;
    const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(bitmap.height);
    const std::uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + imageSize;
    if (fileSize > std::numeric_limits<std::int32_t>::max()) {
        return {};
    }

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(fileSize));
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<std::uint32_t>(fileSize));
    put32(out, 0);
    put32(out, kFileHeaderSize + kInfoHeaderSize);

    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(bitmap.width));
    put32(out, static_cast<std::uint32_t>(bitmap.height)); // positive: bottom-up
    put16(out, 1);                                         // planes
    put16(out, 24);                                        // bits per pixel
    put32(out, 0);                                         // BI_RGB
    put32(out, static_cast<std::uint32_t>(imageSize));
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, 0); // colours used
    put32(out, 0); // colours important

    const std::size_t padding = static_cast<std::size_t>(stride) - bitmap.width * 3u;
    for (int y = bitmap.height - 1; y >= 0; --y) {
        for (int x = 0; x < bitmap.width; ++x) {
            const std::uint32_t rgb = bitmap.pixel(x, y);
            out.push_back(static_cast<std::uint8_t>(rgb));
            out.push_back(static_cast<std::uint8_t>(rgb >> 8));
            out.push_back(static_cast<std::uint8_t>(rgb >> 16));
        }
        out.insert(out.end(), padding, 0);
    }
    return out;
}

bool writeBmp(const std::filesystem::path& path, const platform::Bitmap& bitmap) {
    const std::vector<std::uint8_t> bytes = encodeBmp(bitmap);
    if (bytes.empty()) {
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace glyphgen
