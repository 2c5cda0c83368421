#include "platform/bitmap.h"

#include <gtest/gtest.h>

namespace {

using platform::Bitmap;

Bitmap numbered(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            b.setPixel(x, y, static_cast<std::uint32_t>(0x010000 * (y + 1) + x + 1));
        }
    }
    return b;
}

TEST(Bitmap, CopyPlacesTheSourceAtItsOwnSize) {
    const Bitmap glyph = numbered(3, 2);
    Bitmap screen(8, 6, 0xABCDEF);
    EXPECT_TRUE(platform::copyRect(screen, 4, 3, 3, 2, glyph, 0, 0, platform::kSrcCopy));
    EXPECT_EQ(screen.pixel(4, 3), glyph.pixel(0, 0));
    EXPECT_EQ(screen.pixel(6, 4), glyph.pixel(2, 1));
    EXPECT_EQ(screen.pixel(3, 3), 0xABCDEFu) << "left of the copy untouched";
    EXPECT_EQ(screen.pixel(7, 4), 0xABCDEFu) << "right of the copy untouched";
    EXPECT_EQ(screen.pixel(4, 5), 0xABCDEFu) << "below the copy untouched";
}

TEST(Bitmap, CopyIsClippedToBothBitmaps) {
    const Bitmap glyph = numbered(4, 4);
    Bitmap screen(5, 5);
    EXPECT_TRUE(platform::copyRect(screen, -2, 3, 4, 4, glyph, 0, 0, platform::kSrcCopy));
    EXPECT_EQ(screen.pixel(0, 3), glyph.pixel(2, 0));
    EXPECT_EQ(screen.pixel(1, 4), glyph.pixel(3, 1));
    EXPECT_EQ(screen.pixel(2, 3), 0u);

    Bitmap again(5, 5);
    EXPECT_TRUE(platform::copyRect(again, 0, 0, 9, 9, glyph, -1, 2, platform::kSrcCopy));
    EXPECT_EQ(again.pixel(1, 0), glyph.pixel(0, 2));
    EXPECT_EQ(again.pixel(0, 0), 0u) << "the part left of the source is not copied";

    EXPECT_FALSE(platform::copyRect(screen, 5, 0, 4, 4, glyph, 0, 0, platform::kSrcCopy));
    EXPECT_FALSE(platform::copyRect(screen, 0, 0, 4, 4, Bitmap{}, 0, 0, platform::kSrcCopy));
}

TEST(Bitmap, RasterOperationsCombineSourceAndDestination) {
    Bitmap source(1, 1, 0x00F0F0F0);
    auto apply = [&](std::uint32_t rop) {
        Bitmap target(1, 1, 0x00CCAA55);
        platform::copyRect(target, 0, 0, 1, 1, source, 0, 0, rop);
        return target.pixel(0, 0);
    };
    EXPECT_EQ(apply(0x00EE0086), 0x00FCFAF5u) << "SRCPAINT is OR";
    EXPECT_EQ(apply(0x008800C6), 0x00C0A050u) << "SRCAND is AND";
    EXPECT_EQ(apply(0x00660046), 0x003C5AA5u) << "SRCINVERT is XOR";
    EXPECT_EQ(apply(0x00330008), 0x000F0F0Fu) << "NOTSRCCOPY";
    EXPECT_EQ(apply(0x00000042), 0x00000000u) << "BLACKNESS";
    EXPECT_EQ(apply(platform::kPatCopy), 0x00000000u) << "the pattern is the black brush";
}

TEST(Bitmap, ColorRefPutsRedInTheLowByte) {
    EXPECT_EQ(platform::colorRef(0x00112233), 0x00332211u);
}

} // namespace
