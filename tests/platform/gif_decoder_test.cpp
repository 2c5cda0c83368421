#include "platform/gif_decoder.h"

#include "platform/encoded_pictures.h"

#include <gtest/gtest.h>

using namespace testing_pictures;
using platform::decodeGif;

namespace {

constexpr std::uint32_t kBlack = 0x000000, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

// A 4 × 3 screen, background green, with a 2 × 2 image at (1, 1): red blue / blue red.
GifSpec smallScene() {
    GifSpec recipe;
    recipe.screenWidth = 4;
    recipe.screenHeight = 3;
    recipe.globalMap = {kBlack, kRed, kGreen, kBlue};
    recipe.background = 2;
    recipe.left = 1;
    recipe.top = 1;
    recipe.width = 2;
    recipe.height = 2;
    recipe.indices = {1, 3, 3, 1};
    return recipe;
}

} // namespace

TEST(GifDecoder, FirstImageOnTheLogicalScreen) {
    GifSpec recipe = smallScene();
    recipe.secondFrame = {0, 0, 0, 0};
    const auto picture = decodeGif(makeGif(recipe));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, 4);
    EXPECT_EQ(picture->height, 3);
    const std::vector<std::uint32_t> expected = {
        kGreen, kGreen, kGreen, kGreen, //
        kGreen, kRed,   kBlue,  kGreen, //
        kGreen, kBlue,  kRed,   kGreen, //
    };
    EXPECT_EQ(picture->pixels, expected);
}

TEST(GifDecoder, TransparencyLocalMapsAndClipping) {
    GifSpec transparent = smallScene();
    transparent.transparent = 3;
    auto picture = decodeGif(makeGif(transparent));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->pixel(1, 1), kRed);
    EXPECT_EQ(picture->pixel(2, 1), kGreen);
    EXPECT_EQ(picture->pixel(1, 2), kGreen);

    // No global map: what the image leaves uncovered is black; the local map colours the image.
    GifSpec local = smallScene();
    local.globalMap.clear();
    local.localMap = {0x111111, 0x222222, 0x333333, 0x444444};
    picture = decodeGif(makeGif(local));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->pixel(0, 0), kBlack);
    EXPECT_EQ(picture->pixel(1, 1), 0x222222u);
    EXPECT_EQ(picture->pixel(2, 1), 0x444444u);

    // An image hanging over the screen's corner keeps only what lies on the screen.
    GifSpec over = smallScene();
    over.left = 3;
    over.top = 2;
    picture = decodeGif(makeGif(over));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->pixel(3, 2), kRed);
    EXPECT_EQ(picture->pixel(2, 2), kGreen);

    // A screen of zero size takes the image's extent.
    GifSpec zero = smallScene();
    zero.screenWidth = 0;
    zero.screenHeight = 0;
    picture = decodeGif(makeGif(zero));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(picture->height, 3);
    EXPECT_EQ(picture->pixel(2, 2), kRed);
}

TEST(GifDecoder, InterlacedRowsComeBackInOrder) {
    GifSpec recipe;
    recipe.screenWidth = 1;
    recipe.screenHeight = 11;
    recipe.globalMap.resize(16);
    for (int i = 0; i < 16; ++i) {
        recipe.globalMap[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(i * 0x10);
    }
    recipe.width = 1;
    recipe.height = 11;
    recipe.interlaced = true;
    for (std::uint8_t y = 0; y < 11; ++y) {
        recipe.indices.push_back(y);
    }
    const auto picture = decodeGif(makeGif(recipe));
    ASSERT_TRUE(picture.has_value());
    for (int y = 0; y < 11; ++y) {
        EXPECT_EQ(picture->pixel(0, y), static_cast<std::uint32_t>(y * 0x10)) << y;
    }
}

TEST(GifDecoder, IndexPastTheColourMapRejects) {
    GifSpec recipe = smallScene();
    recipe.globalMap.resize(256, kBlue);
    recipe.background = 0;
    recipe.indices = {1, 1, 1, 200};
    auto gif = makeGif(recipe);
    shrinkGlobalMap(gif, 2);
    EXPECT_FALSE(decodeGif(gif).has_value());

    recipe.indices = {1, 1, 1, 1};
    gif = makeGif(recipe);
    shrinkGlobalMap(gif, 2);
    const auto picture = decodeGif(gif);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->pixel(1, 1), kRed);
}

TEST(GifDecoder, SizesOverTheCapsAreRefused) {
    const auto valid = makeGif(smallScene());
    auto setWord = [](std::vector<std::uint8_t>& gif, std::size_t at, int value) {
        gif[at] = static_cast<std::uint8_t>(value);
        gif[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    // Screen size at 6 and 8; the image descriptor follows the 4-entry map at 13 + 12.
    constexpr std::size_t kImage = 25;
    ASSERT_EQ(valid[kImage], 0x2C);
    for (auto [w, h] : {std::pair{20000, 1}, {1, 20000}, {5000, 5000}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        auto screen = valid;
        setWord(screen, 6, w);
        setWord(screen, 8, h);
        EXPECT_FALSE(decodeGif(screen).has_value());
        auto image = valid;
        setWord(image, kImage + 5, w);
        setWord(image, kImage + 7, h);
        EXPECT_FALSE(decodeGif(image).has_value());
    }
}

TEST(GifDecoder, BrokenAndTruncatedFiles) {
    EXPECT_FALSE(decodeGif({}).has_value());
    const std::vector<std::uint8_t> stampOnly = {'G', 'I', 'F', '8', '9', 'a'};
    EXPECT_FALSE(decodeGif(stampOnly).has_value());
    // A screen and the trailer, but no image.
    const std::vector<std::uint8_t> noImage = {'G', 'I', 'F', '8', '9', 'a', 1,
                                               0,   1,   0,   0,   0,   0,   0x3B};
    EXPECT_FALSE(decodeGif(noImage).has_value());

    GifSpec recipe = smallScene();
    recipe.width = 4;
    recipe.height = 3;
    recipe.left = recipe.top = 0;
    recipe.indices.assign(12, 1);
    recipe.transparent = 0;
    const auto gif = makeGif(recipe);
    ASSERT_TRUE(decodeGif(gif).has_value());
    // Everything short of the image's last data block is rejected; only the trailer may go.
    for (std::size_t n = 0; n + 1 < gif.size(); ++n) {
        EXPECT_FALSE(decodeGif(std::span<const std::uint8_t>(gif.data(), n)).has_value()) << n;
    }
}
