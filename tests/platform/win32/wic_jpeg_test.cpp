// JPEG through the system's decoder (Windows): the colours come back, and the size caps hold on
// the size the frame states, whatever the system's decoder would make of it.
#include "platform/jpeg_decoder.h"

#include "platform/encoded_pictures.h"

#include <gtest/gtest.h>

using namespace testing_pictures;
using platform::decodeJpeg;

namespace {

constexpr int kTolerance = 24;

void setSize(std::vector<std::uint8_t>& jpeg, int width, int height) {
    const std::size_t frame = jpegFrameHeader(jpeg);
    jpeg[frame + 5] = static_cast<std::uint8_t>(height >> 8);
    jpeg[frame + 6] = static_cast<std::uint8_t>(height);
    jpeg[frame + 7] = static_cast<std::uint8_t>(width >> 8);
    jpeg[frame + 8] = static_cast<std::uint8_t>(width);
}

} // namespace

TEST(WicJpeg, ColourAndGreyComeBackAsRgb) {
    const auto colour = decodeJpeg(makeJpeg(32, 16, quadrants(32, 16)));
    ASSERT_TRUE(colour.has_value());
    ASSERT_EQ(colour->width, 32);
    ASSERT_EQ(colour->height, 16);
    EXPECT_TRUE(colourNear(colour->pixel(4, 4), 0xFF0000, kTolerance));
    EXPECT_TRUE(colourNear(colour->pixel(28, 4), 0x00FF00, kTolerance));
    EXPECT_TRUE(colourNear(colour->pixel(4, 12), 0x0000FF, kTolerance));
    EXPECT_TRUE(colourNear(colour->pixel(28, 12), 0xFFFFFF, kTolerance));
    for (const std::uint32_t pixel : colour->pixels) {
        ASSERT_EQ(pixel >> 24, 0u) << "pixels are 0x00RRGGBB";
    }

    std::vector<std::uint32_t> grey(16 * 8, 0x404040);
    std::fill(grey.begin() + 8 * 16 / 2, grey.end(), 0xC0C0C0);
    const auto picture = decodeJpeg(makeJpeg(16, 8, grey, JpegColours::Gray));
    ASSERT_TRUE(picture.has_value());
    EXPECT_TRUE(colourNear(picture->pixel(8, 1), 0x404040, kTolerance));
    EXPECT_TRUE(colourNear(picture->pixel(8, 6), 0xC0C0C0, kTolerance));
}

TEST(WicJpeg, SizesOverTheCapsAreRefusedAndBrokenFilesGiveNothing) {
    const auto valid = makeJpeg(16, 16, quadrants(16, 16));
    for (auto [w, h] : {std::pair{20000, 1}, {1, 20000}, {5000, 5000}, {16385, 16}, {0, 16}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        auto jpeg = valid;
        setSize(jpeg, w, h);
        EXPECT_FALSE(decodeJpeg(jpeg).has_value());
    }
    EXPECT_FALSE(decodeJpeg({}).has_value());
    EXPECT_FALSE(decodeJpeg(std::span(valid.data(), 2)).has_value());
    // A GIF is not a JPEG, whatever the system could decode.
    GifSpec gif;
    gif.screenWidth = gif.width = 1;
    gif.screenHeight = gif.height = 1;
    gif.globalMap = {0, 0xFFFFFF};
    gif.indices = {1};
    EXPECT_FALSE(decodeJpeg(makeGif(gif)).has_value());
}
