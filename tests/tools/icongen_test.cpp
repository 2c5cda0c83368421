#include "app/icon_resources.h"
#include "font_table.h"
#include "icon_painter.h"
#include "png_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace icongen;

namespace {

struct Patch {
    int pixels = 0;
    int left, top, right, bottom;
};

// The 4-connected patches of one colour.
std::vector<Patch> patchesOf(const platform::Bitmap& picture, std::uint32_t rgb) {
    std::vector<bool> seen(picture.pixels.size());
    std::vector<Patch> patches;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (seen[y * picture.width + x] || picture.pixel(x, y) != rgb) {
                continue;
            }
            Patch patch{0, x, y, x, y};
            std::vector<std::pair<int, int>> todo{{x, y}};
            seen[y * picture.width + x] = true;
            while (!todo.empty()) {
                const auto [px, py] = todo.back();
                todo.pop_back();
                ++patch.pixels;
                patch.left = std::min(patch.left, px);
                patch.top = std::min(patch.top, py);
                patch.right = std::max(patch.right, px);
                patch.bottom = std::max(patch.bottom, py);
                for (const auto& [nx, ny] :
                     {std::pair{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}}) {
                    if (nx >= 0 && ny >= 0 && nx < picture.width && ny < picture.height &&
                        !seen[ny * picture.width + nx] && picture.pixel(nx, ny) == rgb) {
                        seen[ny * picture.width + nx] = true;
                        todo.emplace_back(nx, ny);
                    }
                }
            }
            patches.push_back(patch);
        }
    }
    return patches;
}

std::uint32_t big32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint32_t{bytes.at(at)} << 24 | bytes.at(at + 1) << 16 | bytes.at(at + 2) << 8 |
           bytes.at(at + 3);
}

std::uint32_t bitwiseCrc(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
    }
    return ~crc;
}

} // namespace

TEST(DesktopIcon, SmallSizesAreTheWindowIcons) {
    EXPECT_EQ(paintDesktopIcon(16).pixels, iconResource(102).pixels);
    EXPECT_EQ(paintDesktopIcon(32).pixels, iconResource(101).pixels);
    EXPECT_TRUE(paintDesktopIcon(8).empty());
}

// Drawn afresh at each size: the digit's dots are separate, equal, square and as many as the
// font's 5 has, and only the window icon's colours are used.
TEST(DesktopIcon, LargerSizesDrawTheDigitDotForDot) {
    int lit = 0;
    for (const std::string_view row : glyphgen::findGlyph('5')->rows) {
        lit += static_cast<int>(std::ranges::count(row, glyphgen::kLitDot));
    }
    const platform::Bitmap windowIcon = iconResource(101);
    const std::set<std::uint32_t> palette(windowIcon.pixels.begin(), windowIcon.pixels.end());
    for (const int size : {48, 64, 128, 192, 256, 512}) {
        const platform::Bitmap icon = paintDesktopIcon(size);
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.height, size);
        for (const std::uint32_t rgb : icon.pixels) {
            ASSERT_TRUE(palette.contains(rgb)) << size << " px: colour " << std::hex << rgb;
        }
        const auto litDots = patchesOf(icon, iconcolour::kLitDot);
        const auto unlitDots = patchesOf(icon, iconcolour::kUnlitDot);
        EXPECT_EQ(litDots.size(), static_cast<std::size_t>(lit)) << size;
        EXPECT_EQ(unlitDots.size(), static_cast<std::size_t>(35 - lit)) << size;
        for (const Patch& dot : litDots) {
            const int side = litDots.front().right - litDots.front().left + 1;
            EXPECT_EQ(dot.right - dot.left + 1, side) << size;
            EXPECT_EQ(dot.bottom - dot.top + 1, side) << size;
            EXPECT_EQ(dot.pixels, side * side) << size;
            EXPECT_GE(side, size / 16) << size;
        }
    }
}

// A phone cuts its own shape out of the maskable icon, keeping at least the middle circle of 80 %
// of the size: all of the calculator lies within it, the case's outline colour around it.
TEST(DesktopIcon, MaskableIconLiesWithinTheCircleEveryShapeKeeps) {
    const platform::Bitmap icon = paintMaskableIcon(192);
    ASSERT_EQ(icon.width, 192);
    ASSERT_EQ(icon.height, 192);
    for (int y = 0; y < icon.height; ++y) {
        for (int x = 0; x < icon.width; ++x) {
            const double dx = x + 0.5 - 96;
            const double dy = y + 0.5 - 96;
            if (dx * dx + dy * dy > 0.4 * 192 * 0.4 * 192) {
                ASSERT_EQ(icon.pixel(x, y), iconcolour::kOutline) << x << ", " << y;
            }
        }
    }
    EXPECT_FALSE(patchesOf(icon, iconcolour::kLitDot).empty());
    EXPECT_TRUE(paintMaskableIcon(16).empty());
}

TEST(Png, ChunksAreFramedAndChecksummed) {
    platform::Bitmap picture(3, 2, 0x102030);
    picture.setPixel(1, 1, 0xFFFFFF);
    const std::vector<std::uint8_t> png = encodePng(picture);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::vector(png.begin(), png.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    std::vector<std::string> types;
    for (std::size_t at = 8; at < png.size();) {
        const std::uint32_t length = big32(png, at);
        ASSERT_LE(at + 12 + length, png.size());
        types.emplace_back(png.begin() + at + 4, png.begin() + at + 8);
        EXPECT_EQ(big32(png, at + 8 + length), bitwiseCrc(&png[at + 4], length + 4))
            << types.back();
        if (types.back() == "IHDR") {
            EXPECT_EQ(big32(png, at + 8), 3u);
            EXPECT_EQ(big32(png, at + 12), 2u);
            EXPECT_EQ(png[at + 17], 3) << "palette colour type";
        }
        if (types.back() == "PLTE") {
            EXPECT_EQ(length, 6u) << "two colours";
        }
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));
    // Stored uncompressed, the page's largest icon would be 256 KiB, fetched at every install.
    EXPECT_LT(encodePng(paintDesktopIcon(512)).size(), 16'000u);
}

TEST(Png, RefusesWhatAPaletteCannotHold) {
    platform::Bitmap manyColours(257, 1);
    for (int x = 0; x < 257; ++x) {
        manyColours.setPixel(x, 0, static_cast<std::uint32_t>(x));
    }
    EXPECT_TRUE(encodePng(manyColours).empty());
    EXPECT_TRUE(encodePng(platform::Bitmap()).empty());
    EXPECT_FALSE(encodePng(platform::Bitmap(256, 1)).empty());
}
