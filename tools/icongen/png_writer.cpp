#include "png_writer.h"

#include <algorithm>
#include <fstream>
#include <span>
#include <string_view>

#include <zlib.h>

namespace icongen {
namespace {

constexpr std::size_t kMaxColours = 256;

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void putChunk(std::vector<std::uint8_t>& out, std::string_view type,
              std::span<const std::uint8_t> data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const std::span<const std::uint8_t> checked = std::span(out).subspan(typeAt);
    putBig32(out, static_cast<std::uint32_t>(
                      ::crc32(0, checked.data(), static_cast<uInt>(checked.size()))));
}

// The zlib stream PNG asks for; empty when zlib fails (it does only without memory).
std::vector<std::uint8_t> deflated(std::span<const std::uint8_t> raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    out.resize(size);
    return out;
}

} // namespace

std::vector<std::uint8_t> encodePng(const platform::Bitmap& bitmap) {
    if (bitmap.empty() ||
        bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height) {
        return {};
    }
    std::vector<std::uint32_t> palette;
    // Each row is its filter type (0, none) and then one palette index a pixel.
    std::vector<std::uint8_t> raw;
    raw.reserve(bitmap.pixels.size() + static_cast<std::size_t>(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < bitmap.width; ++x) {
            const std::uint32_t rgb = bitmap.pixel(x, y) & 0xFFFFFF;
            auto found = std::ranges::find(palette, rgb);
            if (found == palette.end()) {
                if (palette.size() == kMaxColours) {
                    return {};
                }
                found = palette.insert(palette.end(), rgb);
            }
            raw.push_back(static_cast<std::uint8_t>(found - palette.begin()));
        }
    }

    std::vector<std::uint8_t> header;
    putBig32(header, static_cast<std::uint32_t>(bitmap.width));
    putBig32(header, static_cast<std::uint32_t>(bitmap.height));
    header.insert(header.end(),
                  {8, 3, 0, 0, 0}); // 8 bits, palette, deflate, filter 0, no interlace
    std::vector<std::uint8_t> colours;
    for (const std::uint32_t rgb : palette) {
        colours.insert(colours.end(),
                       {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                        static_cast<std::uint8_t>(rgb)});
    }

    const std::vector<std::uint8_t> data = deflated(raw);
    if (data.empty()) {
        return {};
    }
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(out, "IHDR", header);
    putChunk(out, "PLTE", colours);
    putChunk(out, "IDAT", data);
    putChunk(out, "IEND", {});
    return out;
}

bool writePng(const std::filesystem::path& path, const platform::Bitmap& bitmap) {
    const std::vector<std::uint8_t> bytes = encodePng(bitmap);
    if (bytes.empty()) {
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace icongen
