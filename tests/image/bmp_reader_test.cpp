#include "image/bmp_reader.h"

#include "image/bmp_builder.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr std::uint32_t kSkipped = 0x000000;
constexpr std::uint32_t kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;

std::vector<std::uint32_t> pixelsOf(const BmpSpec& recipe) {
    const auto picture = readBmp(makeBmp(recipe));
    if (!picture) {
        ADD_FAILURE() << "rejected";
        return {};
    }
    EXPECT_EQ(picture->width, recipe.width);
    EXPECT_EQ(picture->height, recipe.height < 0 ? -recipe.height : recipe.height);
    return picture->pixels;
}

bool rejected(const BmpSpec& recipe) {
    return !readBmp(makeBmp(recipe)).has_value();
}

// 2 × 2, 24 bits, bottom-up: the picture is blue white / red green.
BmpSpec twoByTwo() {
    BmpSpec s;
    s.width = 2;
    s.height = 2;
    s.pixels = paddedRows({{0, 0, 0xFF, 0, 0xFF, 0}, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF}});
    return s;
}

// 2 × 1, 8 bits, two palette colours: red green.
BmpSpec paletted() {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bitsPerPixel = 8;
    s.colorsUsed = 2;
    s.palette = {kRed, kGreen};
    s.pixels = paddedRows({{0, 1}});
    return s;
}

} // namespace

TEST(BmpReader, EveryHeaderKindReadsTheSamePicture) {
    const std::vector<std::uint32_t> expected = {kBlue, kWhite, kRed, kGreen};
    for (std::uint32_t header : {12u, 40u, 52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(header);
        BmpSpec s = twoByTwo();
        s.headerSize = header;
        EXPECT_EQ(pixelsOf(s), expected);
    }
}

TEST(BmpReader, RowOrderFollowsTheSignOfTheHeight) {
    BmpSpec s = twoByTwo();
    s.height = -2;
    EXPECT_EQ(pixelsOf(s), (std::vector<std::uint32_t>{kRed, kGreen, kBlue, kWhite}));
}

TEST(BmpReader, PalettedDepthsLookUpTheirColours) {
    BmpSpec one;
    one.width = 3;
    one.height = 2;
    one.bitsPerPixel = 1;
    one.palette = {0x000000, 0xFFFF00};
    one.pixels = paddedRows({{0x40}, {0xA0}});
    EXPECT_EQ(pixelsOf(one), (std::vector<std::uint32_t>{0xFFFF00, 0, 0xFFFF00, 0, 0xFFFF00, 0}));

    BmpSpec four;
    four.width = 3;
    four.height = 1;
    four.bitsPerPixel = 4;
    four.colorsUsed = 3;
    four.palette = {kRed, kGreen, kBlue};
    four.pixels = paddedRows({{0x20, 0x10}});
    EXPECT_EQ(pixelsOf(four), (std::vector<std::uint32_t>{kBlue, kRed, kGreen}));

    for (std::uint32_t header : {12u, 40u}) {
        SCOPED_TRACE(header);
        BmpSpec eight;
        eight.headerSize = header;
        eight.width = 2;
        eight.height = 1;
        eight.bitsPerPixel = 8;
        for (std::uint32_t i = 0; i < 256; ++i) {
            eight.palette.push_back(i * 0x010101);
        }
        eight.pixels = paddedRows({{7, 250}});
        EXPECT_EQ(pixelsOf(eight), (std::vector<std::uint32_t>{0x070707, 0xFAFAFA}));
    }
}

TEST(BmpReader, PackedDepthsAndBitFields) {
    BmpSpec rgb555;
    rgb555.width = 4;
    rgb555.height = 1;
    rgb555.bitsPerPixel = 16;
    rgb555.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42};
    EXPECT_EQ(pixelsOf(rgb555), (std::vector<std::uint32_t>{kRed, kGreen, kBlue, 0x848484}));

    // 5-6-5 in the mask block after an info header and inside a V4 header alike.
    for (std::uint32_t header : {40u, 108u}) {
        SCOPED_TRACE(header);
        BmpSpec rgb565;
        rgb565.headerSize = header;
        rgb565.width = 2;
        rgb565.height = 1;
        rgb565.bitsPerPixel = 16;
        rgb565.compression = kBitfields;
        rgb565.masks = {0xF800, 0x07E0, 0x001F};
        rgb565.pixels = {0x00, 0xF8, 0x00, 0x04};
        EXPECT_EQ(pixelsOf(rgb565), (std::vector<std::uint32_t>{kRed, 0x008200}));
    }

    BmpSpec xrgb;
    xrgb.width = 1;
    xrgb.height = 1;
    xrgb.bitsPerPixel = 32;
    xrgb.pixels = {0x11, 0x22, 0x33, 0x99};
    EXPECT_EQ(pixelsOf(xrgb), (std::vector<std::uint32_t>{0x332211}));

    BmpSpec rgbx = xrgb;
    rgbx.compression = kBitfields;
    rgbx.masks = {0xFF000000, 0x00FF0000, 0x0000FF00};
    rgbx.pixels = {0x00, 0x11, 0x22, 0x33};
    EXPECT_EQ(pixelsOf(rgbx), (std::vector<std::uint32_t>{0x332211}));

    BmpSpec withAlpha = xrgb;
    withAlpha.compression = kAlphaBitfields;
    withAlpha.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    withAlpha.pixels = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(pixelsOf(withAlpha), (std::vector<std::uint32_t>{0x332211}));

    BmpSpec tenBits = xrgb;
    tenBits.compression = kBitfields;
    tenBits.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    const std::uint32_t value = (0x3FFu << 20) | (0x200u << 10);
    tenBits.pixels = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                      static_cast<std::uint8_t>(value >> 16),
                      static_cast<std::uint8_t>(value >> 24)};
    EXPECT_EQ(pixelsOf(tenBits), (std::vector<std::uint32_t>{0xFF8000}));
}

TEST(BmpReader, RunLengthStreams) {
    // Bottom row: 4 red, end of line. Middle: absolute green blue green (padded), end of line.
    // Top: delta 1 right, 2 blue, end of bitmap.
    const auto rle8 =
        rle(kRle8, 4, 3, {4, 1, 0, 0, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 0, 2, 3, 0, 1});
    EXPECT_EQ(pixelsOf(rle8), (std::vector<std::uint32_t>{kSkipped, kBlue, kBlue, kSkipped, //
                                                          kGreen, kBlue, kGreen, kSkipped,  //
                                                          kRed, kRed, kRed, kRed}));
    // Bottom: 5 pixels alternating 1 and 2. Top: absolute 3 2 1 (two bytes), end of bitmap.
    const auto rle4 = rle(kRle4, 5, 2, {5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 1});
    EXPECT_EQ(pixelsOf(rle4), (std::vector<std::uint32_t>{kBlue, kGreen, kRed, kSkipped, kSkipped,
                                                          kRed, kGreen, kRed, kGreen, kRed}));
    // An end of line that leaves the last row ends the picture without end-of-bitmap.
    EXPECT_EQ(pixelsOf(rle(kRle8, 2, 1, {2, 1, 0, 0})), (std::vector<std::uint32_t>{kRed, kRed}));
}

TEST(BmpReader, RunsAndDeltasLeavingThePictureAreClipped) {
    // 255 red on a 3-wide row; a delta far right and a run there; end of line; 4 absolute blue;
    // a delta seven rows up, past the top, ends the stream.
    const auto s = rle(kRle8, 3, 2, {255, 1, 0, 2, 5, 0, 2, 2, 0, 0, 0, 4, 3, 3, 3, 3, 0, 2, 0, 7});
    EXPECT_EQ(pixelsOf(s), (std::vector<std::uint32_t>{kBlue, kBlue, kBlue, kRed, kRed, kRed}));
    // RLE4: 255 pixels on a 1-wide row, a delta far right, 5 absolute pixels out there.
    const auto rle4 = rle(kRle4, 1, 1, {255, 0x12, 0, 2, 250, 0, 0, 5, 0x12, 0x31, 0x20, 0, 0, 1});
    EXPECT_EQ(pixelsOf(rle4), (std::vector<std::uint32_t>{kRed}));
}

TEST(BmpReader, ColourIndexOutsideThePaletteRejects) {
    BmpSpec s = paletted();
    s.pixels = paddedRows({{1, 2}});
    EXPECT_TRUE(rejected(s));
    BmpSpec one;
    one.width = 2;
    one.height = 1;
    one.bitsPerPixel = 1;
    one.colorsUsed = 1;
    one.palette = {kRed};
    one.pixels = paddedRows({{0x00}});
    EXPECT_FALSE(rejected(one));
    one.pixels = paddedRows({{0x40}});
    EXPECT_TRUE(rejected(one));

    EXPECT_FALSE(rejected(rle(kRle8, 2, 1, {2, 3, 0, 1})));
    EXPECT_TRUE(rejected(rle(kRle8, 2, 1, {2, 4, 0, 1})));
    EXPECT_TRUE(rejected(rle(kRle8, 2, 1, {0, 3, 1, 9, 1, 0, 0, 1})));
    // Clipped away or not, the index is still checked.
    EXPECT_TRUE(rejected(rle(kRle8, 2, 1, {0, 2, 9, 0, 2, 7, 0, 1})));
    EXPECT_TRUE(rejected(rle(kRle4, 2, 1, {2, 0x19, 0, 1})));
    // A one-pixel RLE4 run never uses its second nibble.
    EXPECT_FALSE(rejected(rle(kRle4, 2, 1, {1, 0x19, 0, 1})));
    EXPECT_TRUE(rejected(rle(kRle4, 2, 1, {0, 3, 0x12, 0x70, 0, 1})));
}

TEST(BmpReader, CapsAreCheckedBeforeAnyPixelMemory) {
    BmpSpec huge;
    for (auto [w, h] : {std::pair{20000, 1}, {1, 20000}, {5000, 5000}, {-5000, -5000}}) {
        huge.width = w;
        huge.height = h;
        EXPECT_TRUE(rejected(huge)) << w << "x" << h;
        EXPECT_EQ(makeBmp(huge).size(), 54u);
    }
    // At and just past the caps, with all the data there.
    BmpSpec wide;
    wide.width = 16384;
    wide.height = 1;
    wide.pixels.assign(16384 * 3, 0x80);
    EXPECT_FALSE(rejected(wide));
    wide.width = 16385;
    wide.pixels.assign(16388 * 3, 0x80);
    EXPECT_TRUE(rejected(wide));

    BmpSpec square;
    square.bitsPerPixel = 1;
    square.palette = {kRed, kBlue};
    square.width = 4096;
    square.height = 4096;
    square.pixels.assign(4096 * 512, 0xFF);
    EXPECT_FALSE(rejected(square));
    square.width = 4097;
    square.height = 4097;
    square.pixels.assign(4097 * 516, 0xFF);
    EXPECT_TRUE(rejected(square));
}

TEST(BmpReader, HeadersThatDoNotAddUpReject) {
    ASSERT_FALSE(rejected(paletted()));
    auto with = [](auto change) {
        BmpSpec s = paletted();
        change(s);
        return rejected(s);
    };
    EXPECT_TRUE(with([](BmpSpec& s) { s.width = 0; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.width = -2; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.height = 0; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.height = std::numeric_limits<std::int32_t>::min(); }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.headerSize = 64; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.compression = 4; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.compression = 5; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.compression = kRle4; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.compression = kBitfields; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.bitsPerPixel = 2; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.bitsPerPixel = 0; }));
    EXPECT_TRUE(with([](BmpSpec& s) { s.colorsUsed = 3; }));   // the palette runs into the pixels
    EXPECT_TRUE(with([](BmpSpec& s) { s.colorsUsed = 300; })); // more than 8 bits can index
    EXPECT_TRUE(with([](BmpSpec& s) { s.pixels.resize(1); })); // too short for the row
    EXPECT_TRUE(with([](BmpSpec& s) {
        s.bitsPerPixel = 24;
        s.compression = kBitfields;
        s.masks = {0xFF0000, 0xFF00, 0xFF};
    }));
    EXPECT_TRUE(rejected(rle(kRle8, 2, -1, {2, 1, 0, 1}))); // top-down runs do not exist

    BmpSpec core = twoByTwo();
    core.headerSize = 12;
    core.bitsPerPixel = 16;
    EXPECT_TRUE(rejected(core));

    BmpSpec masks;
    masks.width = 1;
    masks.height = 1;
    masks.bitsPerPixel = 16;
    masks.compression = kBitfields;
    masks.pixels = {0, 0, 0, 0};
    masks.masks = {0xF0F0, 0x0F00, 0x000F}; // not one run of bits
    EXPECT_TRUE(rejected(masks));
    masks.masks = {0x10000, 0x0F00, 0x000F}; // outside a 16-bit pixel
    EXPECT_TRUE(rejected(masks));
    masks.masks = {0xF000, 0x0F00, 0x000F};
    EXPECT_FALSE(rejected(masks));

    auto patched = [](std::size_t at, std::uint8_t value) {
        auto file = makeBmp(paletted());
        file[at] = value;
        return !readBmp(file).has_value();
    };
    EXPECT_TRUE(patched(0, 'X'));      // not "BM"
    EXPECT_TRUE(patched(26, 2));       // two planes
    EXPECT_TRUE(patched(10, 200));     // pixel data beyond the file
    EXPECT_TRUE(patched(10, 14 + 44)); // pixel data inside the palette
    EXPECT_TRUE(patched(13, 0x80));    // a pixel offset near 2 GiB
}

TEST(BmpReader, TruncatedFilesReject) {
    const std::vector<std::vector<std::uint8_t>> files = {
        makeBmp(paletted()),
        makeBmp(twoByTwo()),
        makeBmp(rle(kRle8, 4, 2, {4, 1, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1})),
        makeBmp(rle(kRle4, 4, 1, {0, 2, 1, 0, 0, 3, 0x12, 0x30, 0, 1})),
    };
    for (const auto& file : files) {
        ASSERT_TRUE(readBmp(file).has_value());
        // Only the last row's padding may be missing. Each cut is a block of its own, so that
        // the address sanitizer sees a read past its end.
        for (std::size_t n = 0; n + 2 < file.size(); ++n) {
            const std::vector<std::uint8_t> cut(file.begin(), file.begin() + n);
            EXPECT_FALSE(readBmp(cut).has_value()) << n;
        }
    }
    BmpSpec unpaddedEnd;
    unpaddedEnd.width = 1;
    unpaddedEnd.height = 2;
    unpaddedEnd.pixels = {1, 2, 3, 0, 4, 5, 6};
    EXPECT_EQ(pixelsOf(unpaddedEnd), (std::vector<std::uint32_t>{0x060504, 0x030201}));
}
