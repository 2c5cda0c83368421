// Hostile picture files, one table per format: each file must give a clear outcome (loaded at a
// size, or not loaded) within the child's second of CPU and with less than 64 MiB of growth. The
// readers' own tests check what loads and how; this suite covers the classes of damage a crafted
// or broken file brings, in forms those tests do not already hold.
#include "image/bmp_builder.h"
#include "image/bounded_load.h"
#include "platform/encoded_pictures.h"
#include "platform/scratch_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <stdexcept>

using namespace testing_pictures;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Outcome {
    int loaded = 0;
    PictureFormat format = PictureFormat::None;
    std::int32_t width = 0; // of the picture, or as a PNG file states it
    std::int32_t height = 0;
};

struct HostileCase {
    const char* name;
    std::function<Bytes()> file;
    Outcome outcome;
};

void expectClearOutcomes(const std::vector<HostileCase>& cases) {
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = c.file();
        const BoundedLoad got =
            loadBounded([&file](PictureFile& picture) { return picture.loadBytes(file); });
        ASSERT_TRUE(got.finished) << "the load crashed or ran out of its second";
        EXPECT_EQ(got.result, c.outcome.loaded);
        EXPECT_EQ(got.format, c.outcome.format);
        EXPECT_EQ(got.width, c.outcome.width);
        EXPECT_EQ(got.height, c.outcome.height);
        EXPECT_TRUE(got.bitmapConsistent);
        expectBoundedGrowth(got);
    }
}

Bytes cut(Bytes file, std::size_t size) {
    file.resize(size);
    return file;
}

void put32At(Bytes& file, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// ---- BMP ----------------------------------------------------------------------------------

constexpr std::uint32_t kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;
constexpr std::size_t kPixelOffsetAt = 10, kHeaderSizeAt = 14, kCompressionAt = 30;
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

BmpSpec bmp24(std::int32_t width, std::int32_t height, std::uint32_t header = 40) {
    BmpSpec s;
    s.headerSize = header;
    s.width = width;
    s.height = height;
    return s;
}

// A valid 3 × 2 picture at 24 bits, for damage at a given byte.
Bytes validBmp(std::uint32_t header = 40) {
    BmpSpec s = bmp24(3, 2, header);
    s.pixels = paddedRows({{1, 2, 3, 4, 5, 6, 7, 8, 9}, {9, 8, 7, 6, 5, 4, 3, 2, 1}});
    return makeBmp(s);
}

Bytes bmpPatched(std::size_t at, std::uint32_t value) {
    Bytes file = validBmp();
    put32At(file, at, value);
    return file;
}

Bytes bmpWithDepth(std::uint16_t bits) {
    Bytes file = validBmp();
    file[28] = static_cast<std::uint8_t>(bits);
    file[29] = static_cast<std::uint8_t>(bits >> 8);
    return file;
}

Bytes manyRunsPastTheRow() {
    Bytes stream;
    for (int i = 0; i < 5000; ++i) {
        stream.insert(stream.end(), {255, 1});
    }
    stream.insert(stream.end(), {0, 0, 4, 2, 0, 1});
    return makeBmp(rle(kRle8, 4, 2, stream));
}

Bytes longAbsoluteRle4Run() {
    Bytes stream = {0, 255};
    stream.insert(stream.end(), 128, 0x12);
    stream.insert(stream.end(), {0, 1});
    return makeBmp(rle(kRle4, 2, 1, stream));
}

Bytes bitfieldsBmp() {
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.bitsPerPixel = 16;
    s.compression = kBitfields;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.pixels = {0x00, 0xF8, 0, 0};
    return makeBmp(s);
}

Bytes corePalettedBmp() {
    BmpSpec s = bmp24(2, 1, 12);
    s.bitsPerPixel = 8;
    s.palette.assign(256, 0x123456);
    s.pixels = {0, 1, 0, 0};
    return makeBmp(s);
}

// ---- GIF ----------------------------------------------------------------------------------

// LZW codes packed as giflib's decoder reads them: the code width grows with the table and
// starts again after a clear code.
class LzwPacker {
  public:
    explicit LzwPacker(int minCodeSize)
        : minCodeSize_(minCodeSize), clear_(1 << minCodeSize), running_(clear_ + 2),
          bits_(minCodeSize + 1) {}

    int clear() const { return clear_; }
    int end() const { return clear_ + 1; }
    // The entry the next code defines: naming it is the one allowed reference past the table.
    int entryBeingDefined() const { return running_ - 1; }
    bool tableFull() const { return running_ >= kMaxCode + 2; }

    void put(int code) {
        accumulator_ |= static_cast<std::uint64_t>(code) << filled_;
        filled_ += bits_;
        while (filled_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(accumulator_));
            accumulator_ >>= 8;
            filled_ -= 8;
        }
        if (running_ < kMaxCode + 2 && ++running_ > (1 << bits_) && bits_ < 12) {
            ++bits_;
        }
        if (code == clear_) {
            running_ = clear_ + 2;
            bits_ = minCodeSize_ + 1;
        }
    }

    Bytes finish() {
        if (filled_ > 0) {
            bytes_.push_back(static_cast<std::uint8_t>(accumulator_));
        }
        return bytes_;
    }

  private:
    static constexpr int kMaxCode = 4095;
    int minCodeSize_;
    int clear_;
    int running_;
    int bits_;
    std::uint64_t accumulator_ = 0;
    int filled_ = 0;
    Bytes bytes_;
};

Bytes lzw(int minCodeSize, std::initializer_list<int> codes) {
    LzwPacker packer(minCodeSize);
    for (int code : codes) {
        packer.put(code);
    }
    return packer.finish();
}

// A GIF written byte by byte, so that any field can hold what an encoder would never write.
struct RawGif {
    int screenWidth = 4;
    int screenHeight = 3;
    int globalMapBits = 2; // 2^bits entries; 0 for none
    Bytes beforeImage;     // extension blocks, as stored
    bool image = true;
    int left = 0;
    int top = 0;
    int width = 4;
    int height = 3;
    int minCodeSize = 2;
    Bytes data = lzw(2, {4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 5});
};

void put16(Bytes& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

Bytes rawGif(const RawGif& g) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, g.screenWidth);
    put16(out, g.screenHeight);
    out.push_back(g.globalMapBits > 0 ? static_cast<std::uint8_t>(0x80 | (g.globalMapBits - 1))
                                      : 0);
    out.insert(out.end(), {0, 0});
    for (int i = 0; g.globalMapBits > 0 && i < (1 << g.globalMapBits); ++i) {
        out.insert(out.end(), {static_cast<std::uint8_t>(i * 40), 0x80, 0x40});
    }
    out.insert(out.end(), g.beforeImage.begin(), g.beforeImage.end());
    if (g.image) {
        out.push_back(0x2C);
        put16(out, g.left);
        put16(out, g.top);
        put16(out, g.width);
        put16(out, g.height);
        out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(g.minCodeSize));
        for (std::size_t at = 0; at < g.data.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, g.data.size() - at);
            out.push_back(static_cast<std::uint8_t>(n));
            out.insert(out.end(), g.data.begin() + static_cast<std::ptrdiff_t>(at),
                       g.data.begin() + static_cast<std::ptrdiff_t>(at + n));
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    return out;
}

Bytes gifWith(const std::function<void(RawGif&)>& change) {
    RawGif g;
    change(g);
    return rawGif(g);
}

// Codes that each name the entry they define, so every entry chains back through the one before
// it; then literals to the full table, and the last entry over and over without a clear code.
Bytes selfChainingGif(int width, int height) {
    LzwPacker packer(2);
    packer.put(packer.clear());
    packer.put(1);
    std::int64_t pixels = 1;
    std::vector<std::int64_t> length(4096, 1);
    int last = 1;
    auto name = [&](int code, bool defines) {
        const int defined = packer.entryBeingDefined();
        packer.put(code);
        if (defines) {
            length[static_cast<std::size_t>(defined)] = length[static_cast<std::size_t>(last)] + 1;
        }
        pixels += length[static_cast<std::size_t>(code)];
        last = code;
    };
    const std::int64_t wanted = std::int64_t{width} * height;
    while (pixels < wanted / 2) {
        name(packer.entryBeingDefined(), true);
    }
    while (!packer.tableFull()) {
        name(static_cast<int>(pixels % 4), true);
    }
    while (pixels < wanted) {
        name(4095, false);
    }
    packer.put(packer.end());
    RawGif g;
    g.screenWidth = g.width = width;
    g.screenHeight = g.height = height;
    g.data = packer.finish();
    return rawGif(g);
}

// ---- JPEG ---------------------------------------------------------------------------------

Bytes smallJpeg(bool progressive = false) {
    return makeJpeg(16, 16, quadrants(16, 16), JpegColours::YCbCr, progressive);
}

// The first segment with this marker code, walking the segments from the start of the file.
std::size_t segmentAt(const Bytes& jpeg, std::uint8_t code) {
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        if (jpeg[at + 1] == code) {
            return at;
        }
        at += 2 + ((std::size_t{jpeg[at + 2]} << 8) | jpeg[at + 3]);
    }
    throw std::logic_error("no such segment");
}

std::size_t segmentEnd(const Bytes& jpeg, std::size_t at) {
    return at + 2 + ((std::size_t{jpeg[at + 2]} << 8) | jpeg[at + 3]);
}

Bytes jpegWith(const std::function<void(Bytes&)>& change, bool progressive = false) {
    Bytes jpeg = smallJpeg(progressive);
    change(jpeg);
    return jpeg;
}

Bytes jpegSized(int width, int height) {
    return jpegWith([&](Bytes& j) {
        const std::size_t f = jpegFrameHeader(j);
        j[f + 5] = static_cast<std::uint8_t>(height >> 8);
        j[f + 6] = static_cast<std::uint8_t>(height);
        j[f + 7] = static_cast<std::uint8_t>(width >> 8);
        j[f + 8] = static_cast<std::uint8_t>(width);
    });
}

Bytes jpegWithAfterSoi(Bytes inserted) {
    return jpegWith([&](Bytes& j) { j.insert(j.begin() + 2, inserted.begin(), inserted.end()); });
}

// A grey progressive picture of side × side whose last scan comes again and again.
Bytes repeatedScans(int side, int scans) {
    const Bytes base = makeJpeg(side, side, quadrants(side, side), JpegColours::Gray, true);
    std::size_t lastScan = 0;
    for (std::size_t i = 0; i + 1 < base.size(); ++i) {
        if (base[i] == 0xFF && base[i + 1] == 0xDA) {
            lastScan = i;
        }
    }
    Bytes jpeg(base.begin(), base.end() - 2);
    const Bytes scan(base.begin() + static_cast<std::ptrdiff_t>(lastScan), base.end() - 2);
    for (int i = 0; i < scans; ++i) {
        jpeg.insert(jpeg.end(), scan.begin(), scan.end());
    }
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

// ---- PNG ----------------------------------------------------------------------------------

Bytes png(std::uint32_t width, std::uint32_t height) {
    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (std::uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    }
    out.insert(out.end(), {8, 2, 0, 0, 0, 0x12, 0x34, 0x56, 0x78});
    return out;
}

constexpr Outcome notLoaded(PictureFormat format) {
    return {0, format, 0, 0};
}

constexpr Outcome loadedAt(PictureFormat format, std::int32_t width, std::int32_t height) {
    return {1, format, width, height};
}

// Loaded where the decoders patch over broken data, refused where they do not (Windows).
Outcome repairedAt(PictureFormat format, std::int32_t width, std::int32_t height) {
    return decodersRepairBrokenData() ? loadedAt(format, width, height) : notLoaded(format);
}

constexpr PictureFormat kBmp = PictureFormat::Bmp, kGif = PictureFormat::Gif,
                        kJpeg = PictureFormat::Jpeg, kPng = PictureFormat::Png,
                        kNone = PictureFormat::None;

} // namespace

TEST(HostilePictures, Bmp) {
    const Outcome rejected = notLoaded(kBmp);
    expectClearOutcomes({
        // Sizes beyond the caps, in files of a few dozen bytes.
        {"core header 65535 x 65535", [] { return makeBmp(bmp24(65535, 65535, 12)); }, rejected},
        {"width 2^31 - 1", [] { return makeBmp(bmp24(kIntMax, 1)); }, rejected},
        {"RLE8 4097 x 4097, end of bitmap only",
         [] {
             return makeBmp(rle(kRle8, 4097, 4097, {0, 1}));
         },
         rejected},
        // Within the caps, but the rows are missing: turned away before any pixel memory.
        {"4096 x 4096 at 24 bits, no rows", [] { return makeBmp(bmp24(4096, 4096)); }, rejected},
        // Zero, negative and minimal sizes.
        {"core header width 0", [] { return makeBmp(bmp24(0, 2, 12)); }, rejected},
        {"width -1, height -1", [] { return makeBmp(bmp24(-1, -1)); }, rejected},
        {"width INT_MIN", [] { return makeBmp(bmp24(kIntMin, 1)); }, rejected},
        // Palettes shorter than the indices used.
        {"4 bits, index 15 of 3 colours",
         [] {
             BmpSpec s = bmp24(2, 1);
             s.bitsPerPixel = 4;
             s.colorsUsed = 3;
             s.palette = {1, 2, 3};
             s.pixels = {0x0F, 0, 0, 0};
             return makeBmp(s);
         },
         rejected},
        {"RLE8 absolute run with index 9 of 4 colours on the top row",
         [] {
             return makeBmp(rle(kRle8, 4, 2, {4, 1, 0, 0, 0, 4, 1, 2, 3, 9, 0, 1}));
         },
         rejected},
        // Runs and deltas past the row and the picture are clipped.
        {"RLE8 5000 runs of 255 past a 4-wide row", manyRunsPastTheRow, loadedAt(kBmp, 4, 2)},
        {"RLE8 delta past the picture first",
         [] {
             return makeBmp(rle(kRle8, 4, 2, {0, 2, 255, 255, 4, 1, 0, 1}));
         },
         loadedAt(kBmp, 4, 2)},
        {"RLE4 absolute run of 255 on a 2-wide row", longAbsoluteRle4Run, loadedAt(kBmp, 2, 1)},
        // Truncation in each section.
        {"cut in the file header", [] { return cut(validBmp(), 10); }, rejected},
        {"cut in a V5 header", [] { return cut(validBmp(124), 14 + 60); }, rejected},
        {"cut in the bit-field masks", [] { return cut(bitfieldsBmp(), 14 + 40 + 6); }, rejected},
        {"cut in a core palette", [] { return cut(corePalettedBmp(), 26 + 100); }, rejected},
        {"cut in the last row", [] { return cut(validBmp(), validBmp().size() - 6); }, rejected},
        {"cut in an RLE4 absolute run", [] { return cut(longAbsoluteRle4Run(), 54 + 16 + 40); },
         rejected},
        // Pixel data beyond the file.
        {"pixel offset 2^32 - 1", [] { return bmpPatched(kPixelOffsetAt, 0xFFFFFFFF); }, rejected},
        {"pixel offset 0, inside the headers", [] { return bmpPatched(kPixelOffsetAt, 0); },
         rejected},
        {"pixel offset at the end of the file",
         [] { return bmpPatched(kPixelOffsetAt, static_cast<std::uint32_t>(validBmp().size())); },
         rejected},
        // Unknown bit depths, header sizes and compressions.
        {"3 bits per pixel", [] { return bmpWithDepth(3); }, rejected},
        {"64 bits per pixel", [] { return bmpWithDepth(64); }, rejected},
        {"65535 bits per pixel", [] { return bmpWithDepth(65535); }, rejected},
        {"header size 0", [] { return bmpPatched(kHeaderSizeAt, 0); }, rejected},
        {"header size 41", [] { return bmpPatched(kHeaderSizeAt, 41); }, rejected},
        {"header size 2^32 - 1", [] { return bmpPatched(kHeaderSizeAt, 0xFFFFFFFF); }, rejected},
        {"compression 11", [] { return bmpPatched(kCompressionAt, 11); }, rejected},
        {"compression 2^32 - 1", [] { return bmpPatched(kCompressionAt, 0xFFFFFFFF); }, rejected},
        {"alpha bit fields at 24 bits", [] { return bmpPatched(kCompressionAt, kAlphaBitfields); },
         rejected},
    });
}

TEST(HostilePictures, Gif) {
    const Outcome rejected = notLoaded(kGif);
    expectClearOutcomes({
        {"screen 65535 x 65535",
         [] { return gifWith([](RawGif& g) { g.screenWidth = g.screenHeight = 65535; }); },
         rejected},
        {"image 65535 x 65535 at 65535, 65535 on a zero screen",
         [] {
             return gifWith([](RawGif& g) {
                 g.screenWidth = g.screenHeight = 0;
                 g.left = g.top = g.width = g.height = 65535;
             });
         },
         rejected},
        {"screen width 0: the image's extent",
         [] { return gifWith([](RawGif& g) { g.screenWidth = 0; }); }, loadedAt(kGif, 4, 3)},
        {"image width 0", [] { return gifWith([](RawGif& g) { g.width = 0; }); }, rejected},
        {"image height 0", [] { return gifWith([](RawGif& g) { g.height = 0; }); }, rejected},
        {"image far off the screen",
         [] {
             return gifWith([](RawGif& g) {
                 g.left = g.top = 60000;
                 g.width = g.height = 1;
                 g.data = lzw(2, {4, 1, 5});
             });
         },
         loadedAt(kGif, 4, 3)},
        // giflib decodes a code past the table as some pixel of the map rather than failing.
        {"LZW code beyond the table",
         [] {
             return gifWith([](RawGif& g) {
                 g.data = lzw(2, {4, 1, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 5});
             });
         },
         repairedAt(kGif, 4, 3)},
        {"LZW table code right after a clear code",
         [] {
             return gifWith([](RawGif& g) {
                 g.data = lzw(2, {4, 6, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 5});
             });
         },
         rejected},
        // A valid stream that Wine's decoder refuses: the table stays full for good.
        {"LZW codes chaining back through a full table, no clear code",
         [] { return selfChainingGif(200, 200); }, repairedAt(kGif, 200, 200)},
        // Below 2 the format has no such size, yet a stream written for it decodes; above 8
        // giflib refuses.
        {"minimum code size 0",
         [] {
             return gifWith([](RawGif& g) {
                 g.minCodeSize = 0;
                 g.data = lzw(0, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
             });
         },
         loadedAt(kGif, 4, 3)},
        {"minimum code size 1",
         [] {
             return gifWith([](RawGif& g) {
                 g.minCodeSize = 1;
                 g.data = lzw(1, {2, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 3});
             });
         },
         loadedAt(kGif, 4, 3)},
        {"minimum code size 9", [] { return gifWith([](RawGif& g) { g.minCodeSize = 9; }); },
         rejected},
        {"minimum code size 12", [] { return gifWith([](RawGif& g) { g.minCodeSize = 12; }); },
         rejected},
        {"minimum code size 255", [] { return gifWith([](RawGif& g) { g.minCodeSize = 255; }); },
         rejected},
        {"no image, only an extension",
         [] {
             return gifWith([](RawGif& g) {
                 g.image = false;
                 g.beforeImage = {0x21, 0xFE, 3, 'a', 'b', 'c', 0};
             });
         },
         rejected},
        {"ends inside an extension",
         [] {
             return cut(gifWith([](RawGif& g) {
                            g.beforeImage = {0x21, 0xFE, 200, 'a', 0};
                        }),
                        13 + 12 + 5);
         },
         rejected},
        {"no colour map anywhere", [] { return gifWith([](RawGif& g) { g.globalMapBits = 0; }); },
         rejected},
        {"cut in the global colour map", [] { return cut(rawGif(RawGif{}), 13 + 5); }, rejected},
        {"data block longer than the file",
         [] {
             Bytes gif = rawGif(RawGif{});
             gif.resize(gif.size() - 3);
             gif[13 + 12 + 11] = 255;
             return gif;
         },
         rejected},
    });
}

TEST(HostilePictures, Jpeg) {
    const Outcome rejected = notLoaded(kJpeg);
    expectClearOutcomes({
        {"65535 x 65535", [] { return jpegSized(65535, 65535); }, rejected},
        {"height 0, left to a DNL marker", [] { return jpegSized(16, 0); }, rejected},
        {"no components", [] { return jpegWith([](Bytes& j) { j[jpegFrameHeader(j) + 9] = 0; }); },
         rejected},
        {"sampling factors 0 x 0",
         [] { return jpegWith([](Bytes& j) { j[jpegFrameHeader(j) + 11] = 0; }); }, rejected},
        {"lossless frame",
         [] { return jpegWith([](Bytes& j) { j[jpegFrameHeader(j) + 1] = 0xC3; }); }, rejected},
        {"reserved marker FF02",
         [] {
             return jpegWithAfterSoi({0xFF, 0x02, 0, 4, 0, 0});
         },
         rejected},
        {"second start of image",
         [] {
             return jpegWithAfterSoi({0xFF, 0xD8});
         },
         rejected},
        {"end of image before the frame",
         [] {
             return jpegWithAfterSoi({0xFF, 0xD9});
         },
         rejected},
        {"marker length 0",
         [] {
             return jpegWith([](Bytes& j) {
                 const std::size_t q = segmentAt(j, 0xDB);
                 j[q + 2] = j[q + 3] = 0;
             });
         },
         rejected},
        {"marker length past the file",
         [] {
             return jpegWith([](Bytes& j) {
                 const std::size_t q = segmentAt(j, 0xDB);
                 j[q + 2] = j[q + 3] = 0xFF;
             });
         },
         rejected},
        {"quantisation table number 7",
         [] { return jpegWith([](Bytes& j) { j[segmentAt(j, 0xDB) + 4] = 7; }); }, rejected},
        {"Huffman table of more than 256 codes",
         [] { return jpegWith([](Bytes& j) { j[segmentAt(j, 0xC4) + 5 + 15] = 255; }); }, rejected},
        {"scan of an unknown component",
         [] { return jpegWith([](Bytes& j) { j[segmentAt(j, 0xDA) + 5] = 99; }); }, rejected},
        {"cut in the quantisation table",
         [] {
             const Bytes j = smallJpeg();
             return cut(j, segmentAt(j, 0xDB) + 20);
         },
         rejected},
        {"cut in the Huffman tables",
         [] {
             const Bytes j = smallJpeg();
             return cut(j, segmentAt(j, 0xC4) + 10);
         },
         rejected},
        // The library pads a scan cut short; viewers show such files too.
        {"cut right after the scan header",
         [] {
             const Bytes j = smallJpeg();
             return cut(j, segmentEnd(j, segmentAt(j, 0xDA)));
         },
         repairedAt(kJpeg, 16, 16)},
    });
    // Only where the test can write progressive files (not with the system's encoder on Windows).
    if (!progressiveJpegAvailable()) {
        return;
    }
    expectClearOutcomes({
        {"progressive scan past coefficient 63",
         [] {
             return jpegWith(
                 [](Bytes& j) {
                     const std::size_t s = segmentAt(j, 0xDA);
                     j[s + 6 + 2 * std::size_t{j[s + 4]}] = 64;
                 },
                 true);
         },
         rejected},
        {"1024 x 1024 with 490 more scans", [] { return repeatedScans(1024, 490); },
         loadedAt(kJpeg, 1024, 1024)},
    });
}

TEST(HostilePictures, PngIsSizedNeverLoaded) {
    expectClearOutcomes({
        {"0 x 0", [] { return png(0, 0); }, {0, kPng, 0, 0}},
        {"2^31 - 1 square",
         [] { return png(0x7FFFFFFF, 0x7FFFFFFF); },
         {0, kPng, kIntMax, kIntMax}},
        {"cut in the width", [] { return cut(png(640, 480), 18); }, {0, kPng, 0, 0}},
        {"signature only", [] { return cut(png(640, 480), 8); }, {0, kPng, 0, 0}},
    });
}

TEST(HostilePictures, TinyFiles) {
    expectClearOutcomes({
        {"empty", [] { return Bytes{}; }, notLoaded(kNone)},
        {"one byte B", [] { return Bytes{'B'}; }, notLoaded(kNone)},
        {"one byte G", [] { return Bytes{'G'}; }, notLoaded(kNone)},
        {"one byte FF", [] { return Bytes{0xFF}; }, notLoaded(kNone)},
        {"GIF stamp",
         [] {
             return Bytes{'G', 'I', 'F'};
         },
         notLoaded(kGif)},
        {"JPEG start of image",
         [] {
             return Bytes{0xFF, 0xD8};
         },
         notLoaded(kJpeg)},
        {"PNG signature less a byte", [] { return cut(png(1, 1), 7); }, notLoaded(kNone)},
    });
}

TEST(HostilePictures, DirectoryWhereAFileShouldBe) {
    const ScratchDir dir;
    dir.write("bmp/065.bmp/inside.bmp", validBmp());
    const std::string name = dir.path("bmp") + "\\065.bmp";
    const BoundedLoad got =
        loadBounded([&name](PictureFile& picture) { return picture.load(name.c_str()); });
    ASSERT_TRUE(got.finished);
    EXPECT_EQ(got.result, 0);
    EXPECT_EQ(got.format, kNone);
    EXPECT_TRUE(got.bitmapConsistent);
    expectBoundedGrowth(got);
}
