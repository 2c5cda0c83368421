#include "app/icon_resources.h"
#include "bmp_writer.h"
#include "font_table.h"
#include "lcd_painter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace glyphgen;

namespace {

std::uint32_t le16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8;
}

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return le16(bytes, at) | le16(bytes, at + 2) << 16;
}

// Reads pixel (x, y), counted from the top, back out of a 24-bit bottom-up file.
std::uint32_t bmpPixel(const std::vector<std::uint8_t>& bytes, int x, int y) {
    const std::uint32_t width = le32(bytes, 18);
    const std::uint32_t height = le32(bytes, 22);
    const std::size_t stride = (width * 3 + 3) / 4 * 4;
    const std::size_t at = le32(bytes, 10) + (height - 1 - y) * stride + x * 3u;
    return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16;
}

int brightness(std::uint32_t rgb) {
    return (rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF);
}

// The centre pixel of a dot of the matrix.
std::uint32_t dotCentre(const platform::Bitmap& glyph, int column, int row) {
    const DotBox box = dotBox(column, row);
    return glyph.pixel(box.x + box.width / 2, box.y + box.height / 2);
}

} // namespace

TEST(FontTable, HasEveryCharacterTheGameShows) {
    const std::string shown = "0123456789-=*ACEGHILMNOPRSTUV ";
    for (const char character : shown) {
        EXPECT_NE(findGlyph(static_cast<unsigned char>(character)), nullptr) << character;
    }
    EXPECT_NE(findGlyph(0xA6), nullptr);
    for (int code = 33; code <= 126; ++code) {
        EXPECT_NE(findGlyph(code), nullptr) << code;
    }
    EXPECT_EQ(findGlyph(0), nullptr);
    EXPECT_EQ(findGlyph(127), nullptr);
    EXPECT_EQ(findGlyph(0xA5), nullptr);
}

TEST(FontTable, RowsAreFiveDotsOfTheTwoKindsAndCodesAreUnique) {
    std::set<int> codes;
    for (const GlyphPattern& pattern : fontTable()) {
        EXPECT_TRUE(codes.insert(pattern.code).second) << "code " << pattern.code << " twice";
        for (const std::string_view row : pattern.rows) {
            EXPECT_EQ(row.size(), static_cast<std::size_t>(kDotColumns)) << pattern.code;
            EXPECT_EQ(row.find_first_not_of(std::string{kLitDot, kUnlitDot}),
                      std::string_view::npos)
                << pattern.code << ": " << row;
        }
    }
    for (const std::string_view row : findGlyph(' ')->rows) {
        EXPECT_EQ(row.find(kLitDot), std::string_view::npos);
    }
}

TEST(PaintGlyph, LitDotsAreDarkUnlitDotsFaintAndGapsPanel) {
    // Row 0 of 'T' is all lit; row 1 has only its middle dot lit.
    const platform::Bitmap glyph = paintGlyph(*findGlyph('T'));
    ASSERT_EQ(glyph.width, kGlyphWidth);
    ASSERT_EQ(glyph.height, kGlyphHeight);
    EXPECT_EQ(dotCentre(glyph, 0, 0), kLitColour);
    EXPECT_EQ(dotCentre(glyph, 2, 1), kLitColour);
    const std::uint32_t unlit = dotCentre(glyph, 0, 1);
    EXPECT_NE(unlit, kPanelColour);
    EXPECT_LT(brightness(unlit), brightness(kPanelColour));
    EXPECT_GT(brightness(unlit), (brightness(kPanelColour) + brightness(kLitColour)) / 2);
    EXPECT_EQ(glyph.pixel(0, 0), kPanelColour);
    EXPECT_EQ(glyph.pixel(kGlyphWidth - 1, kGlyphHeight - 1), kPanelColour);
    const DotBox first = dotBox(0, 3);
    const DotBox second = dotBox(1, 3);
    ASSERT_LT(first.x + first.width, second.x);
    EXPECT_EQ(glyph.pixel(first.x + first.width, first.y - 1), kPanelColour);
}

TEST(PaintGlyph, DifferentCharactersLookDifferent) {
    const auto table = fontTable();
    std::vector<platform::Bitmap> glyphs;
    for (const GlyphPattern& pattern : table) {
        glyphs.push_back(paintGlyph(pattern));
    }
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        for (std::size_t j = i + 1; j < glyphs.size(); ++j) {
            EXPECT_NE(glyphs[i].pixels, glyphs[j].pixels)
                << "codes " << table[i].code << " and " << table[j].code;
        }
    }
}

TEST(PaintBackdrop, FramesTwelveBlankCellsOnThePanel) {
    const platform::Bitmap backdrop = paintBackdrop();
    ASSERT_EQ(backdrop.width, kBackdropWidth);
    ASSERT_EQ(backdrop.height, kBackdropHeight);
    const platform::Bitmap blank = paintGlyph(*findGlyph(' '));
    for (int cell = 0; cell < kCellCount; ++cell) {
        const int left = kFirstCellX + kCellPitch * cell;
        for (int y = 0; y < kGlyphHeight; ++y) {
            for (int x = 0; x < kGlyphWidth; ++x) {
                ASSERT_EQ(backdrop.pixel(left + x, kCellY + y), blank.pixel(x, y))
                    << "cell " << cell << " at " << x << "," << y;
            }
        }
        // Around each cell the panel shows, so glyph edges vanish into it.
        EXPECT_EQ(backdrop.pixel(left - 1, kCellY + kGlyphHeight / 2), kPanelColour) << cell;
        EXPECT_EQ(backdrop.pixel(left + kGlyphWidth, kCellY + kGlyphHeight), kPanelColour) << cell;
    }
    EXPECT_NE(backdrop.pixel(0, 0), kPanelColour);
    EXPECT_NE(backdrop.pixel(kBackdropWidth / 2, 5), kPanelColour);
}

TEST(EncodeBmp, WritesA24BitBottomUpFileWithPaddedRows) {
    // Three pixels a row leave nine bytes, padded to twelve.
    platform::Bitmap picture(3, 2);
    picture.setPixel(0, 0, 0x112233);
    picture.setPixel(2, 0, 0xA0B0C0);
    picture.setPixel(1, 1, 0x445566);
    const std::vector<std::uint8_t> bytes = encodeBmp(picture);
    ASSERT_EQ(bytes.size(), 54u + 2 * 12);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(le32(bytes, 2), bytes.size());
    EXPECT_EQ(le32(bytes, 10), 54u);
    EXPECT_EQ(le32(bytes, 14), 40u);
    EXPECT_EQ(le32(bytes, 18), 3u);
    EXPECT_EQ(le32(bytes, 22), 2u);
    EXPECT_EQ(le16(bytes, 26), 1u);
    EXPECT_EQ(le16(bytes, 28), 24u);
    EXPECT_EQ(le32(bytes, 30), 0u);
    EXPECT_EQ(le32(bytes, 34), 24u);
    // The bottom row comes first, blue byte first.
    EXPECT_EQ(bytes[54 + 3], 0x66);
    EXPECT_EQ(bytes[54 + 5], 0x44);
    EXPECT_EQ(bytes[54 + 9], 0);
    EXPECT_EQ(bytes[66], 0x33);
    EXPECT_EQ(bmpPixel(bytes, 2, 0), 0xA0B0C0u);
    EXPECT_EQ(bmpPixel(bytes, 1, 1), 0x445566u);
    EXPECT_TRUE(encodeBmp(platform::Bitmap{}).empty());
}

TEST(EncodeBmp, GlyphAndBackdropReadBackWithTheirSizesAndColours) {
    const std::vector<std::uint8_t> glyph = encodeBmp(paintGlyph(*findGlyph('0')));
    EXPECT_EQ(le32(glyph, 18), static_cast<std::uint32_t>(kGlyphWidth));
    EXPECT_EQ(le32(glyph, 22), static_cast<std::uint32_t>(kGlyphHeight));
    EXPECT_EQ(le32(glyph, 2), glyph.size());
    const DotBox top = dotBox(1, 0); // the 0's top bar
    EXPECT_EQ(bmpPixel(glyph, top.x + 1, top.y + 1), kLitColour);
    EXPECT_EQ(bmpPixel(glyph, 0, kGlyphHeight - 1), kPanelColour);

    const std::vector<std::uint8_t> backdrop = encodeBmp(paintBackdrop());
    EXPECT_EQ(le32(backdrop, 18), static_cast<std::uint32_t>(kBackdropWidth));
    EXPECT_EQ(le32(backdrop, 22), static_cast<std::uint32_t>(kBackdropHeight));
    EXPECT_EQ(bmpPixel(backdrop, kFirstCellX + kGlyphWidth + 4, kCellY + 1), kPanelColour);
}

TEST(WriteBmp, WritesTheEncodedBytesAndReportsFailure) {
    const std::filesystem::path folder =
        std::filesystem::path(testing::TempDir()) / "kestrilon_glyphgen_write";
    std::filesystem::create_directories(folder);
    const platform::Bitmap picture = paintGlyph(*findGlyph('A'));
    ASSERT_TRUE(writeBmp(folder / "065.bmp", picture));
    std::ifstream file(folder / "065.bmp", std::ios::binary);
    const std::vector<std::uint8_t> written{std::istreambuf_iterator<char>(file), {}};
    file.close(); // an open file cannot be removed on Windows
    EXPECT_EQ(written, encodeBmp(picture));
    EXPECT_FALSE(writeBmp(folder / "missing" / "065.bmp", picture));
    EXPECT_FALSE(writeBmp(folder / "empty.bmp", platform::Bitmap{}));
    std::filesystem::remove_all(folder);
}

TEST(IconResource, HasTheTwoSixteenColourIcons) {
    for (const auto& [id, size] : {std::pair{101, 32}, std::pair{102, 16}}) {
        const platform::Bitmap icon = iconResource(id);
        EXPECT_EQ(icon.width, size) << id;
        EXPECT_EQ(icon.height, size) << id;
        const std::set<std::uint32_t> colours(icon.pixels.begin(), icon.pixels.end());
        EXPECT_LE(colours.size(), 16u) << id;
        EXPECT_GT(colours.size(), 2u) << id;
    }
    EXPECT_TRUE(iconResource(100).empty());
    EXPECT_TRUE(iconResource(0).empty());
}
