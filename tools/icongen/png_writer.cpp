#include "png_writer.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <span>
#include <string_view>

namespace icongen {
namespace {

constexpr std::size_t kMaxColours = 256;
constexpr std::size_t kMaxStoredBlock = 0xFFFF;

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < table.size(); ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = makeCrcTable();

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) {
        c = kCrcTable[(c ^ byte) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t kModulus = 65521;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : bytes) {
        a = (a + byte) % kModulus;
        b = (b + a) % kModulus;
    }
    return b << 16 | a;
}

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
    putBig32(out, crc32(std::span(out).subspan(typeAt)));
}

// A zlib stream of stored blocks: no compression, just the framing and the checksum.
std::vector<std::uint8_t> storedZlib(std::span<const std::uint8_t> raw) {
    std::vector<std::uint8_t> out{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(raw.size() - at, kMaxStoredBlock);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    putBig32(out, adler32(raw));
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

    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(out, "IHDR", header);
    putChunk(out, "PLTE", colours);
    putChunk(out, "IDAT", storedZlib(raw));
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
