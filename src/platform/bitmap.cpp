#include "platform/bitmap.h"

#include <algorithm>

namespace platform {
namespace {

// A ternary raster operation's middle byte is its truth table: bit (p·4 + s·2 + d) gives the
// result for pattern bit p, source bit s and destination bit d.
std::uint32_t applyRop3(std::uint8_t table, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    std::uint32_t result = 0;
    for (int i = 0; i < 8; ++i) {
        if ((table >> i) & 1u) {
            result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
        }
    }
    return result & 0x00FFFFFFu;
}

} // namespace

Bitmap::Bitmap(int w, int h, std::uint32_t fill)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

bool copyRect(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy,
              std::uint32_t rop) {
    // Clip against the source, then the destination, moving both origins together.
    if (sx < 0) {
        w += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        dy -= sy;
        sy = 0;
    }
    if (dx < 0) {
        w += dx;
        sx -= dx;
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        sy -= dy;
        dy = 0;
    }
    w = std::min({w, src.width - sx, dst.width - dx});
    h = std::min({h, src.height - sy, dst.height - dy});
    if (w <= 0 || h <= 0) {
        return false;
    }
    const auto table = static_cast<std::uint8_t>(rop >> 16);
    for (int row = 0; row < h; ++row) {
        const std::uint32_t* from =
            &src.pixels[static_cast<std::size_t>(sy + row) * src.width + sx];
        std::uint32_t* to = &dst.pixels[static_cast<std::size_t>(dy + row) * dst.width + dx];
        if (table == 0xCC) {
            std::copy(from, from + w, to);
            continue;
        }
        for (int col = 0; col < w; ++col) {
            to[col] = applyRop3(table, 0, from[col], to[col]);
        }
    }
    return true;
}

std::uint32_t colorRef(std::uint32_t rgb) {
    return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

} // namespace platform
