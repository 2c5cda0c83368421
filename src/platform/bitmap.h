// The software raster that stands where the game once had device-dependent bitmaps and blits.
//
// A Bitmap is a block of 32-bit pixels, 0x00RRGGBB, rows top-down. Drawing is the same on every
// backend, so it lives here once. Not synchronised: the owner of a bitmap decides who may touch
// it (the window's pixels and the back buffer are guarded by the display lock).
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Raster-operation codes as the game passes them (the ternary codes of GDI).
inline constexpr std::uint32_t kSrcCopy = 0x00CC0020;
inline constexpr std::uint32_t kPatCopy = 0x00F00021;

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // width × height entries, row-major

    Bitmap() = default;
    Bitmap(int w, int h, std::uint32_t fill = 0);

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint32_t pixel(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
    void setPixel(int x, int y, std::uint32_t rgb) {
        pixels[static_cast<std::size_t>(y) * width + x] = rgb;
    }
};

// Copies the w × h rectangle at (sx, sy) of src to (dx, dy) of dst, combining source and
// destination with the raster operation `rop` (the pattern is the black brush). The rectangle is
// clipped to both bitmaps; returns false when nothing was left to copy.
bool copyRect(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy,
              std::uint32_t rop);

// The colour of a pixel in the layout the pixel tables keep: red in the low byte, then green,
// then blue, the top byte 0.
std::uint32_t colorRef(std::uint32_t rgb);

} // namespace platform
