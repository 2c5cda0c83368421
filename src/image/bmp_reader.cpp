#include "image/bmp_reader.h"

#include "platform/picture_limits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <vector>

namespace {

static_assert(std::endian::native == std::endian::little,
              "24-bit rows are read four bytes at a time as 0x??RRGGBB");

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kCoreHeaderSize = 12;
constexpr std::int64_t kInfoHeaderSize = 40;

// One colour of a packed 16- or 32-bit pixel, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    std::uint32_t expand(std::uint32_t pixel) const {
        if (bits == 0) {
            return 0;
        }
        const std::uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8) {
            return value >> (bits - 8);
        }
        const std::uint32_t top = (1u << bits) - 1;
        return (value * 255 + top / 2) / top;
    }
};

// Everything the headers say, already checked against the file's length.
struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    std::uint32_t compression = kBiRgb;
    std::int64_t pixelOffset = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
    Channel red, green, blue;
};

class Bytes {
  public:
    explicit Bytes(std::span<const std::uint8_t> file) : file_(file) {}
    std::int64_t size() const { return static_cast<std::int64_t>(file_.size()); }
    // Callers check the range first.
    std::uint32_t u8(std::int64_t at) const { return file_[static_cast<std::size_t>(at)]; }
    std::uint32_t u16(std::int64_t at) const { return u8(at) | (u8(at + 1) << 8); }
    std::uint32_t u32(std::int64_t at) const { return u16(at) | (u16(at + 2) << 16); }
    const std::uint8_t* pointer(std::int64_t offset) const {
        return file_.data() + static_cast<std::size_t>(offset);
    }

  private:
    std::span<const std::uint8_t> file_;
};

bool knownHeaderSize(std::int64_t size) {
    return size == kCoreHeaderSize || size == kInfoHeaderSize || size == 52 || size == 56 ||
           size == 108 || size == 124;
}

bool depthAllowed(int bits, std::uint32_t compression) {
    switch (compression) {
    case kBiRgb:
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kBiRle8:
        return bits == 8;
    case kBiRle4:
        return bits == 4;
    case kBiBitfields:
    case kBiAlphaBitfields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

// A mask must be one run of bits inside the pixel; an empty mask gives a channel of zeros.
std::optional<Channel> channelOf(std::uint32_t mask, int bitsPerPixel) {
    if (bitsPerPixel < 32 && (mask >> bitsPerPixel) != 0) {
        return std::nullopt;
    }
    if (mask == 0) {
        return Channel{};
    }
    const int shift = std::countr_zero(mask);
    const std::uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0) {
        return std::nullopt;
    }
    return Channel{mask, shift, std::popcount(run)};
}

std::optional<Layout> readLayout(const Bytes& file) {
    if (file.size() < kFileHeaderSize + 4 || file.u8(0) != 'B' || file.u8(1) != 'M') {
        return std::nullopt;
    }
    const std::int64_t pixelOffset = file.u32(10);
    const std::int64_t headerSize = file.u32(14);
    constexpr std::int64_t h = kFileHeaderSize;
    if (!knownHeaderSize(headerSize) || h + headerSize > file.size()) {
        return std::nullopt;
    }
    Layout layout;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t colorsUsed = 0;
    if (headerSize == kCoreHeaderSize) {
        width = file.u16(h + 4);
        height = file.u16(h + 6);
        planes = file.u16(h + 8);
        layout.bitsPerPixel = static_cast<int>(file.u16(h + 10));
    } else {
        width = static_cast<std::int32_t>(file.u32(h + 4));
        height = static_cast<std::int32_t>(file.u32(h + 8));
        planes = file.u16(h + 12);
        layout.bitsPerPixel = static_cast<int>(file.u16(h + 14));
        layout.compression = file.u32(h + 16);
        colorsUsed = file.u32(h + 32);
    }
    // A negative height means top-down rows; INT_MIN has no positive counterpart.
    if (height == std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    layout.topDown = height < 0;
    height = height < 0 ? -height : height;
    const bool rle = layout.compression == kBiRle8 || layout.compression == kBiRle4;
    const bool core = headerSize == kCoreHeaderSize;
    if (!platform::pictureSizeAllowed(width, height) || planes != 1 ||
        !depthAllowed(layout.bitsPerPixel, layout.compression) || (rle && layout.topDown) ||
        (core && layout.bitsPerPixel != 1 && layout.bitsPerPixel != 4 && layout.bitsPerPixel != 8 &&
         layout.bitsPerPixel != 24)) {
        return std::nullopt;
    }
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);

    std::int64_t tableStart = h + headerSize;
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (layout.bitsPerPixel == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    if (layout.compression == kBiBitfields || layout.compression == kBiAlphaBitfields) {
        // The info header keeps its masks after itself; the later headers inside.
        std::int64_t maskAt = h + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) {
            tableStart += layout.compression == kBiBitfields ? 12 : 16;
            if (tableStart > file.size()) {
                return std::nullopt;
            }
        }
        for (std::uint32_t& mask : masks) {
            mask = file.u32(maskAt);
            maskAt += 4;
        }
    }
    if (layout.bitsPerPixel == 16 || layout.bitsPerPixel == 32) {
        const auto red = channelOf(masks[0], layout.bitsPerPixel);
        const auto green = channelOf(masks[1], layout.bitsPerPixel);
        const auto blue = channelOf(masks[2], layout.bitsPerPixel);
        if (!red || !green || !blue) {
            return std::nullopt;
        }
        layout.red = *red;
        layout.green = *green;
        layout.blue = *blue;
    }

    // Above 8 bits any colour table is only a display hint; the pixel offset skips it.
    std::int64_t colors = 0;
    if (layout.bitsPerPixel <= 8) {
        const std::int64_t most = std::int64_t{1} << layout.bitsPerPixel;
        colors = (core || colorsUsed == 0) ? most : colorsUsed;
        if (colors > most) {
            return std::nullopt;
        }
    }
    const std::int64_t entrySize = core ? 3 : 4;
    if (tableStart + colors * entrySize > pixelOffset || pixelOffset > file.size()) {
        return std::nullopt;
    }
    layout.palette.resize(static_cast<std::size_t>(colors));
    for (std::int64_t i = 0; i < colors; ++i) {
        const std::int64_t at = tableStart + i * entrySize;
        layout.palette[static_cast<std::size_t>(i)] =
            (file.u8(at + 2) << 16) | (file.u8(at + 1) << 8) | file.u8(at);
    }
    layout.pixelOffset = pixelOffset;
    return layout;
}

std::int64_t rowStride(const Layout& layout) {
    return (std::int64_t{layout.width} * layout.bitsPerPixel + 31) / 32 * 4;
}

// Asked before the picture is allocated, so that a few bytes claiming a large picture cost
// nothing. The last row needs its pixels, not its padding: some writers stop there.
bool rowsPresent(const Bytes& file, const Layout& layout) {
    const std::int64_t lastRow = (std::int64_t{layout.width} * layout.bitsPerPixel + 7) / 8;
    return layout.pixelOffset + rowStride(layout) * (layout.height - 1) + lastRow <= file.size();
}

// The row loops read the layout's fields into locals first: the pixel stores could alias them,
// and they would be reloaded for every pixel.

// A colour table for every index a pixel can hold; an index past the palette looks up a colour
// with a bit no colour has, and each row is checked for it once it is read.
constexpr std::uint32_t kOutsidePalette = 0x80000000u;
using IndexColours = std::array<std::uint32_t, 256>;

IndexColours indexColours(const Layout& layout) {
    IndexColours colours;
    colours.fill(kOutsidePalette);
    std::copy_n(layout.palette.begin(), std::min<std::size_t>(layout.palette.size(), 256),
                colours.begin());
    return colours;
}

// Palette indices of 1, 4 or 8 bits, most significant first within each byte.
bool readIndexRow(const std::uint8_t* from, const Layout& layout, const IndexColours& colours,
                  std::uint32_t* to) {
    const int width = layout.width;
    const int bits = layout.bitsPerPixel;
    const std::uint32_t indexMask = (1u << bits) - 1;
    std::uint32_t seen = 0;
    if (bits == 8) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = colours[from[x]];
            seen |= colour;
            to[x] = colour;
        }
    } else {
        for (int x = 0; x < width; ++x) {
            const int bitAt = x * bits;
            const std::uint32_t colour =
                colours[(from[bitAt / 8] >> (8 - bits - bitAt % 8)) & indexMask];
            seen |= colour;
            to[x] = colour;
        }
    }
    return (seen & kOutsidePalette) == 0;
}

void readPackedRow(const std::uint8_t* from, const Layout& layout, std::uint32_t* to) {
    const int width = layout.width;
    const int bytes = layout.bitsPerPixel / 8;
    const Channel red = layout.red;
    const Channel green = layout.green;
    const Channel blue = layout.blue;
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = from + static_cast<std::ptrdiff_t>(x) * bytes;
        const std::uint32_t packed =
            bytes == 2
                ? (p[0] | (p[1] << 8))
                : (p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
        to[x] = (red.expand(packed) << 16) | (green.expand(packed) << 8) | blue.expand(packed);
    }
}

// Callers have checked rowsPresent. Each depth has a loop of its own: this runs for every pixel
// of every picture the game loads.
bool readRows(const Bytes& file, const Layout& layout, platform::Bitmap& out) {
    const std::int64_t stride = rowStride(layout);
    const int width = layout.width;
    const IndexColours colours = layout.bitsPerPixel <= 8 ? indexColours(layout) : IndexColours{};
    const bool plain32 = layout.bitsPerPixel == 32 && layout.red.mask == 0xFF0000 &&
                         layout.green.mask == 0x00FF00 && layout.blue.mask == 0x0000FF;
    for (int row = 0; row < layout.height; ++row) {
        const std::uint8_t* from = file.pointer(layout.pixelOffset + stride * row);
        const int y = layout.topDown ? row : layout.height - 1 - row;
        std::uint32_t* to = &out.pixels[static_cast<std::size_t>(y) * width];
        if (layout.bitsPerPixel <= 8) {
            if (!readIndexRow(from, layout, colours, to)) {
                return false;
            }
        } else if (layout.bitsPerPixel == 24) {
            // Four bytes at a time, the next pixel's first one masked off; the last pixel on its
            // own, as the file may end right after it.
            for (int x = 0; x + 1 < width; ++x, from += 3) {
                std::uint32_t pixel = 0;
                std::memcpy(&pixel, from, sizeof pixel);
                to[x] = pixel & 0x00FFFFFFu;
            }
            to[width - 1] =
                (std::uint32_t{from[2]} << 16) | (std::uint32_t{from[1]} << 8) | from[0];
        } else if (plain32) {
            for (int x = 0; x < width; ++x, from += 4) {
                to[x] = (std::uint32_t{from[2]} << 16) | (std::uint32_t{from[1]} << 8) | from[0];
            }
        } else {
            readPackedRow(from, layout, to);
        }
    }
    return true;
}

// Walks an RLE8 or RLE4 stream. Runs and deltas that leave the picture are clipped; the stream
// ends at end-of-bitmap or once it has moved past the last row, and running out of bytes before
// that rejects the file.
class RleDecoder {
  public:
    RleDecoder(const Bytes& file, const Layout& layout, platform::Bitmap& out)
        : file_(file), layout_(layout), out_(out), at_(layout.pixelOffset) {}

    bool run() {
        const bool nibbles = layout_.compression == kBiRle4;
        while (row_ < layout_.height) {
            if (!available(2)) {
                return false;
            }
            const std::uint32_t count = file_.u8(at_);
            const std::uint32_t value = file_.u8(at_ + 1);
            at_ += 2;
            if (count > 0) {
                if (!fill(count, nibbles ? value >> 4 : value, nibbles ? value & 0xF : value)) {
                    return false;
                }
            } else if (value == 0) {
                x_ = 0;
                ++row_;
            } else if (value == 1) {
                return true;
            } else if (value == 2) {
                if (!available(2)) {
                    return false;
                }
                x_ += file_.u8(at_);
                row_ += file_.u8(at_ + 1);
                at_ += 2;
            } else if (!copy(value, nibbles)) {
                return false;
            }
        }
        return true;
    }

  private:
    bool available(std::int64_t n) const { return at_ + n <= file_.size(); }

    bool known(std::uint32_t index) const { return index < layout_.palette.size(); }

    void put(std::uint32_t index) {
        if (x_ < layout_.width) {
            out_.setPixel(static_cast<int>(x_), layout_.height - 1 - static_cast<int>(row_),
                          layout_.palette[index]);
        }
        ++x_;
    }

    // An encoded run: `count` pixels alternating the two indices (equal ones for RLE8).
    bool fill(std::uint32_t count, std::uint32_t first, std::uint32_t second) {
        if (!known(first) || (count > 1 && !known(second))) {
            return false;
        }
        const std::int64_t visible = std::clamp<std::int64_t>(layout_.width - x_, 0, count);
        for (std::int64_t i = 0; i < visible; ++i) {
            put(i % 2 == 0 ? first : second);
        }
        x_ += count - visible;
        return true;
    }

    // An absolute run of `count` indices, padded to a 16-bit boundary.
    bool copy(std::uint32_t count, bool nibbles) {
        const std::int64_t bytes = nibbles ? (count + 1) / 2 : count;
        if (!available(bytes)) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t byte = file_.u8(at_ + (nibbles ? i / 2 : i));
            const std::uint32_t index = !nibbles ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0xF);
            if (!known(index)) {
                return false;
            }
            put(index);
        }
        at_ += (bytes + 1) / 2 * 2;
        return true;
    }

    const Bytes& file_;
    const Layout& layout_;
    platform::Bitmap& out_;
    std::int64_t at_;
    std::int64_t x_ = 0;
    std::int64_t row_ = 0;
};

} // namespace

std::optional<platform::Bitmap> readBmp(std::span<const std::uint8_t> bytes,
                                        platform::PictureAllowance& allowance) {
    const Bytes file(bytes);
    const auto layout = readLayout(file);
    if (!layout) {
        return std::nullopt;
    }
    const bool rle = layout->compression == kBiRle8 || layout->compression == kBiRle4;
    if ((!rle && !rowsPresent(file, *layout)) ||
        !platform::admitPicture(allowance, layout->width, layout->height)) {
        return std::nullopt;
    }
    std::optional<platform::Bitmap> picture(std::in_place, layout->width, layout->height);
    const bool read =
        rle ? RleDecoder(file, *layout, *picture).run() : readRows(file, *layout, *picture);
    if (!read) {
        return std::nullopt;
    }
    return picture;
}

std::optional<platform::Bitmap> readBmp(std::span<const std::uint8_t> file) {
    platform::PictureAllowance capsOnly;
    return readBmp(file, capsOnly);
}
