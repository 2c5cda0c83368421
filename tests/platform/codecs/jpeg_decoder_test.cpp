#include "platform/jpeg_decoder.h"

#include "platform/encoded_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_pictures;
using platform::decodeJpeg;

namespace {

constexpr int kTolerance = 12;

// The centre of each quadrant, away from the blur at the colour edges.
void expectQuadrants(const platform::Bitmap& picture) {
    const int w = picture.width, h = picture.height;
    EXPECT_TRUE(colourNear(picture.pixel(w / 4, h / 4), 0xFF0000, kTolerance));
    EXPECT_TRUE(colourNear(picture.pixel(3 * w / 4, h / 4), 0x00FF00, kTolerance));
    EXPECT_TRUE(colourNear(picture.pixel(w / 4, 3 * h / 4), 0x0000FF, kTolerance));
    EXPECT_TRUE(colourNear(picture.pixel(3 * w / 4, 3 * h / 4), 0xFFFFFF, kTolerance));
    EXPECT_TRUE(std::all_of(picture.pixels.begin(), picture.pixels.end(), [](std::uint32_t pixel) {
        return pixel >> 24 == 0;
    })) << "0x00RRGGBB";
}

void setSize(std::vector<std::uint8_t>& jpeg, int width, int height) {
    const std::size_t frame = jpegFrameHeader(jpeg);
    jpeg[frame + 5] = static_cast<std::uint8_t>(height >> 8);
    jpeg[frame + 6] = static_cast<std::uint8_t>(height);
    jpeg[frame + 7] = static_cast<std::uint8_t>(width >> 8);
    jpeg[frame + 8] = static_cast<std::uint8_t>(width);
}

} // namespace

TEST(JpegDecoder, DecodesEveryColourModelToRgb) {
    const auto pixels = quadrants(32, 16);
    for (auto colours : {JpegColours::YCbCr, JpegColours::AdobeCmyk, JpegColours::PlainCmyk}) {
        for (bool progressive : {false, true}) {
            SCOPED_TRACE(testing::Message() << "model " << static_cast<int>(colours)
                                            << " progressive " << progressive);
            const auto picture = decodeJpeg(makeJpeg(32, 16, pixels, colours, progressive));
            ASSERT_TRUE(picture.has_value());
            EXPECT_EQ(picture->width, 32);
            EXPECT_EQ(picture->height, 16);
            expectQuadrants(*picture);
        }
    }
    std::vector<std::uint32_t> grey(16 * 8, 0x404040);
    std::fill(grey.begin() + 8 * 16 / 2, grey.end(), 0xC0C0C0);
    const auto picture = decodeJpeg(makeJpeg(16, 8, grey, JpegColours::Gray));
    ASSERT_TRUE(picture.has_value());
    EXPECT_TRUE(colourNear(picture->pixel(8, 1), 0x404040, kTolerance));
    EXPECT_TRUE(colourNear(picture->pixel(8, 6), 0xC0C0C0, kTolerance));
}

TEST(JpegDecoder, SizesOverTheCapsAreRefusedFromTheHeader) {
    const auto valid = makeJpeg(16, 16, quadrants(16, 16));
    for (auto [w, h] : {std::pair{20000, 1}, {1, 20000}, {5000, 5000}, {16385, 16}, {0, 16}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        auto jpeg = valid;
        setSize(jpeg, w, h);
        EXPECT_FALSE(decodeJpeg(jpeg).has_value());
    }
    // Within the caps the same patch decodes: the library pads the missing data.
    auto wider = valid;
    setSize(wider, 64, 32);
    const auto picture = decodeJpeg(wider);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, 64);
    EXPECT_EQ(picture->height, 32);
}

TEST(JpegDecoder, EndlessScansAreCut) {
    const auto base = makeJpeg(8, 8, quadrants(8, 8), JpegColours::Gray, true);
    std::size_t lastScan = 0;
    for (std::size_t i = 0; i + 1 < base.size(); ++i) {
        if (base[i] == 0xFF && base[i + 1] == 0xDA) {
            lastScan = i;
        }
    }
    ASSERT_GT(lastScan, 0u);
    const std::vector<std::uint8_t> scan(base.begin() + static_cast<std::ptrdiff_t>(lastScan),
                                         base.end() - 2);
    auto withRepeats = [&](int repeats) {
        std::vector<std::uint8_t> jpeg(base.begin(), base.end() - 2);
        for (int i = 0; i < repeats; ++i) {
            jpeg.insert(jpeg.end(), scan.begin(), scan.end());
        }
        jpeg.push_back(0xFF);
        jpeg.push_back(0xD9);
        return jpeg;
    };
    EXPECT_TRUE(decodeJpeg(withRepeats(10)).has_value());
    EXPECT_FALSE(decodeJpeg(withRepeats(platform::kMaxJpegScans + 10)).has_value());
    // The larger the picture, the fewer scans it gets: 256 at 2048 x 2048.
    auto large = [&](int repeats) {
        auto jpeg = withRepeats(repeats);
        setSize(jpeg, 2048, 2048);
        return jpeg;
    };
    EXPECT_TRUE(decodeJpeg(large(200)).has_value());
    EXPECT_FALSE(decodeJpeg(large(300)).has_value());
}

TEST(JpegDecoder, BrokenAndTruncatedFiles) {
    EXPECT_FALSE(decodeJpeg({}).has_value());
    const std::vector<std::uint8_t> soiOnly = {0xFF, 0xD8};
    EXPECT_FALSE(decodeJpeg(soiOnly).has_value());
    const std::vector<std::uint8_t> noise(300, 0xA5);
    EXPECT_FALSE(decodeJpeg(noise).has_value());

    const auto jpeg = makeJpeg(32, 32, quadrants(32, 32), JpegColours::YCbCr, true);
    const std::size_t frame = jpegFrameHeader(jpeg);
    for (std::size_t n = 0; n < jpeg.size(); ++n) {
        const std::span<const std::uint8_t> prefix(jpeg.data(), n);
        const auto picture = decodeJpeg(prefix);
        if (n <= frame + 9) {
            EXPECT_FALSE(picture.has_value()) << n;
        } else if (picture) {
            // Cut inside the scans: the library pads what is missing.
            EXPECT_EQ(picture->width, 32) << n;
        }
    }
}
