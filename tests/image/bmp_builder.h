// Writes BMP files of any header kind for the tests, with the pixel data given as stored.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

struct BmpSpec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB; three bytes each under a 12-byte header
    std::vector<std::uint32_t> masks;   // after a 40-byte header, else inside the header
    std::vector<std::uint8_t> pixels;   // as stored, padding included
};

inline void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

inline std::vector<std::uint8_t> makeBmp(const BmpSpec& s) {
    const bool core = s.headerSize == 12;
    const std::size_t masksAfter = s.headerSize == 40 ? 4 * s.masks.size() : 0;
    const std::size_t offset = 14 + s.headerSize + masksAfter + s.palette.size() * (core ? 3 : 4);
    std::vector<std::uint8_t> out = {'B', 'M'};
    put32(out, static_cast<std::uint32_t>(offset + s.pixels.size()));
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(offset));
    put32(out, s.headerSize);
    if (core) {
        put16(out, static_cast<std::uint32_t>(s.width));
        put16(out, static_cast<std::uint32_t>(s.height));
        put16(out, 1);
        put16(out, s.bitsPerPixel);
    } else {
        put32(out, static_cast<std::uint32_t>(s.width));
        put32(out, static_cast<std::uint32_t>(s.height));
        put16(out, 1);
        put16(out, s.bitsPerPixel);
        put32(out, s.compression);
        put32(out, static_cast<std::uint32_t>(s.pixels.size()));
        put32(out, 2835);
        put32(out, 2835);
        put32(out, s.colorsUsed);
        put32(out, 0);
        for (std::size_t i = 0; i < s.masks.size() && 40 + 4 * i < s.headerSize; ++i) {
            put32(out, s.masks[i]);
        }
        out.resize(14 + s.headerSize, 0);
        if (s.headerSize == 40) {
            for (std::uint32_t m : s.masks) {
                put32(out, m);
            }
        }
    }
    for (std::uint32_t c : s.palette) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!core) {
            out.push_back(0);
        }
    }
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

// Rows as stored, each padded to a multiple of four bytes.
inline std::vector<std::uint8_t> paddedRows(std::initializer_list<std::vector<std::uint8_t>> rows) {
    std::vector<std::uint8_t> out;
    for (const auto& row : rows) {
        out.insert(out.end(), row.begin(), row.end());
        out.resize((out.size() + 3) / 4 * 4, 0);
    }
    return out;
}

inline constexpr std::uint32_t kBmpRle8 = 1;
inline constexpr std::uint32_t kBmpRle4 = 2;

// An RLE picture drawing with grey, red, green and blue: index 0 is not black, so pixels the
// stream skips stand out.
inline BmpSpec rle(std::uint32_t compression, int width, int height,
                   std::vector<std::uint8_t> stream) {
    BmpSpec s;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = compression == kBmpRle8 ? 8 : 4;
    s.compression = compression;
    s.colorsUsed = 4;
    s.palette = {0x101010, 0xFF0000, 0x00FF00, 0x0000FF};
    s.pixels = std::move(stream);
    return s;
}
