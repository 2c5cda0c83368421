#include "app/icon_resources.h"
#include "ico_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::uint32_t read16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (std::uint32_t{b[at + 1]} << 8);
}

std::uint32_t read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return read16(b, at) | (read16(b, at + 2) << 16);
}

// Reads back what a system's icon loader reads: the directory, the header, the palette, the
// 4-bit rows bottom-up and the AND mask.
platform::Bitmap decodeIco(const std::vector<std::uint8_t>& ico, bool& opaque) {
    EXPECT_EQ(read16(ico, 0), 0u);
    EXPECT_EQ(read16(ico, 2), 1u) << "an icon";
    EXPECT_EQ(read16(ico, 4), 1u) << "one picture";
    const int width = ico[6];
    const int height = ico[7];
    EXPECT_EQ(ico[8], 16) << "16 colours";
    EXPECT_EQ(read16(ico, 12), 4u) << "4 bits a pixel";
    const std::size_t image = read32(ico, 18);
    EXPECT_EQ(read32(ico, 14), ico.size() - image) << "the stated size is the rest of the file";
    EXPECT_EQ(read32(ico, image), 40u);
    EXPECT_EQ(static_cast<int>(read32(ico, image + 4)), width);
    EXPECT_EQ(static_cast<int>(read32(ico, image + 8)), 2 * height);
    const std::size_t palette = image + 40;
    const std::size_t rows = palette + 16 * 4;
    const std::size_t colourRow = (static_cast<std::size_t>(width) * 4 + 31) / 32 * 4;
    const std::size_t maskRow = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    EXPECT_EQ(ico.size(), rows + (colourRow + maskRow) * height);
    platform::Bitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = rows + colourRow * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t pair = ico[row + static_cast<std::size_t>(x / 2)];
            const int index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
            picture.setPixel(x, y, read32(ico, palette + 4 * static_cast<std::size_t>(index)));
        }
    }
    const std::size_t mask = rows + colourRow * height;
    opaque = std::all_of(ico.begin() + static_cast<std::ptrdiff_t>(mask), ico.end(),
                         [](std::uint8_t b) { return b == 0; });
    return picture;
}

} // namespace

TEST(IcoWriter, TheProgramsIconsComeBackPixelForPixel) {
    for (const int id : {101, 102}) {
        SCOPED_TRACE(id);
        const platform::Bitmap icon = iconResource(id);
        const std::vector<std::uint8_t> ico = iconwriter::encodeIco(icon);
        ASSERT_GT(ico.size(), 22u + 40u);
        bool opaque = false;
        const platform::Bitmap back = decodeIco(ico, opaque);
        EXPECT_EQ(back.width, icon.width);
        EXPECT_EQ(back.height, icon.height);
        EXPECT_EQ(back.pixels, icon.pixels);
        EXPECT_TRUE(opaque);
    }
}

TEST(IcoWriter, PicturesTheFormCannotHoldGiveNothing) {
    platform::Bitmap seventeen(17, 1);
    for (int x = 0; x < 17; ++x) {
        seventeen.setPixel(x, 0, static_cast<std::uint32_t>(x));
    }
    EXPECT_TRUE(iconwriter::encodeIco(seventeen).empty());
    EXPECT_TRUE(iconwriter::encodeIco(platform::Bitmap(256, 1)).empty());
    EXPECT_TRUE(iconwriter::encodeIco(platform::Bitmap{}).empty());
    EXPECT_FALSE(iconwriter::encodeIco(platform::Bitmap(255, 3)).empty());
}
