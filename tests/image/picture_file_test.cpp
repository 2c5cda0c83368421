#include "image/picture_file.h"

#include "image/bmp_builder.h"
#include "platform/encoded_pictures.h"
#include "platform/picture_limits.h"
#include "platform/scratch_dir.h"
#include "support/hostile_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testing_pictures;

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values) {
        out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

const std::vector<std::uint8_t> kPngSignature =
    bytes({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A});

std::vector<std::uint8_t> pngOf(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> png = kPngSignature;
    const auto ihdr = bytes({0, 0, 0, 13, 'I', 'H', 'D', 'R'});
    png.insert(png.end(), ihdr.begin(), ihdr.end());
    for (std::uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            png.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    }
    const auto rest = bytes({8, 2, 0, 0, 0, 0x12, 0x34, 0x56, 0x78});
    png.insert(png.end(), rest.begin(), rest.end());
    return png;
}

std::vector<std::uint8_t> smallBmp() {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.pixels = {0, 0, 0xFF, 0xFF, 0, 0, 0, 0};
    return makeBmp(s);
}

std::vector<std::uint8_t> smallGif() {
    GifSpec recipe;
    recipe.screenWidth = 3;
    recipe.screenHeight = 2;
    recipe.globalMap = {0x000000, 0x00FF00};
    recipe.width = 3;
    recipe.height = 2;
    recipe.indices = {1, 1, 1, 1, 1, 1};
    return makeGif(recipe);
}

} // namespace

TEST(PictureFile, SniffingTakesTheFirstRuleThatMatches) {
    using F = PictureFormat;
    EXPECT_EQ(PictureFile::sniffFormat({}), F::None);
    EXPECT_EQ(PictureFile::sniffFormat(bytes({'B'})), F::None);
    EXPECT_EQ(PictureFile::sniffFormat(bytes({'B', 'M'})), F::Bmp);
    EXPECT_EQ(PictureFile::sniffFormat(bytes({'B', 'M', 'G', 'I', 'F', 0xFF, 0xD8, 0})), F::Bmp);
    EXPECT_EQ(PictureFile::sniffFormat(bytes({'G', 'I', 'F'})), F::Gif);
    EXPECT_EQ(PictureFile::sniffFormat(bytes({'G', 'I'})), F::None);
    EXPECT_EQ(PictureFile::sniffFormat(bytes({0xFF, 0xD8})), F::Jpeg);
    EXPECT_EQ(PictureFile::sniffFormat(bytes({0xFF, 0xD9})), F::None);
    EXPECT_EQ(PictureFile::sniffFormat(kPngSignature), F::Png);
    const std::vector<std::uint8_t> shortPng(kPngSignature.begin(), kPngSignature.end() - 1);
    EXPECT_EQ(PictureFile::sniffFormat(shortPng), F::None);
    EXPECT_EQ(PictureFile::sniffFormat(bytes({'b', 'm'})), F::None);
}

TEST(PictureFile, LoadsEachFormatByContentFromTheGamesName) {
    const ScratchDir dir;
    dir.write("bmp/065.bmp", smallBmp());
    dir.write("bmp/066.bmp", smallGif());
    // Behind a comment longer than the head read first: the frame header is found in the whole
    // file.
    std::vector<std::uint8_t> jpeg = makeJpeg(16, 8, quadrants(16, 8));
    const std::vector<std::uint8_t> comment = {0xFF, 0xFE, 0x13, 0x8A};
    jpeg.insert(jpeg.begin() + 2, comment.begin(), comment.end());
    jpeg.insert(jpeg.begin() + 2 + comment.size(), 0x138A - 2, 'c');
    dir.write("bmp/067.bmp", jpeg);
    const std::string folder = dir.path("bmp") + "\\";

    PictureFile file;
    ASSERT_EQ(file.load((folder + "065.bmp").c_str()), 1);
    EXPECT_EQ(file.format, PictureFormat::Bmp);
    EXPECT_EQ(file.width, 2);
    EXPECT_EQ(file.height, 1);
    ASSERT_NE(file.bitmapHandle(), nullptr);
    EXPECT_EQ(file.bitmapHandle(), file.bitmapFile.get());
    EXPECT_EQ(file.bitmapHandle()->pixels, (std::vector<std::uint32_t>{0xFF0000, 0x0000FF}));

    ASSERT_EQ(file.load((folder + "066.bmp").c_str()), 1);
    EXPECT_EQ(file.format, PictureFormat::Gif);
    EXPECT_EQ(file.width, 3);
    EXPECT_EQ(file.height, 2);
    EXPECT_EQ(file.bitmapFile, nullptr);
    ASSERT_NE(file.bitmapHandle(), nullptr);
    EXPECT_EQ(file.bitmapHandle(), file.picture.get());
    EXPECT_EQ(file.bitmapHandle()->pixel(2, 1), 0x00FF00u);

    ASSERT_EQ(file.load((folder + "067.bmp").c_str()), 1);
    EXPECT_EQ(file.format, PictureFormat::Jpeg);
    EXPECT_EQ(file.width, 16);
    EXPECT_EQ(file.height, 8);
    ASSERT_NE(file.bitmapHandle(), nullptr);
    // Wide enough for the system's encoder on Windows, which writes at its own quality.
    EXPECT_TRUE(colourNear(file.bitmapHandle()->pixel(4, 2), 0xFF0000, 24));
    EXPECT_TRUE(colourNear(file.bitmapHandle()->pixel(12, 6), 0xFFFFFF, 24));
}

TEST(PictureFile, PngGivesItsStatedSizeAndNoPicture) {
    PictureFile file;
    EXPECT_EQ(file.loadBytes(pngOf(640, 480)), 0);
    EXPECT_EQ(file.format, PictureFormat::Png);
    EXPECT_EQ(file.width, 640);
    EXPECT_EQ(file.height, 480);
    EXPECT_EQ(file.bitmapHandle(), nullptr);

    // Past the file's end there is no size: the sides it does not hold are 0.
    const auto png = pngOf(640, 480);
    EXPECT_EQ(file.loadBytes(std::span<const std::uint8_t>(png.data(), 22)), 0);
    EXPECT_EQ(file.format, PictureFormat::Png);
    EXPECT_EQ(file.width, 640);
    EXPECT_EQ(file.height, 0);

    // Through a file too, whatever its length.
    const ScratchDir dir;
    std::vector<std::uint8_t> big = pngOf(1234, 56);
    big.resize(200000, 0);
    const std::string name = dir.write("big.png", big);
    EXPECT_EQ(file.load(name.c_str()), 0);
    EXPECT_EQ(file.format, PictureFormat::Png);
    EXPECT_EQ(file.width, 1234);
    EXPECT_EQ(file.height, 56);
}

TEST(PictureFile, FilesThatGiveNoPicture) {
    const ScratchDir dir;
    dir.write("sub/inner.bin", {1});
    const std::string twoBytes = dir.write("bm.bmp", bytes({'B', 'M'}));
    const std::string empty = dir.write("empty.bmp", {});
    const std::string oneByte = dir.write("one.bmp", bytes({'B'}));
    const std::string text =
        dir.write("text.bmp", bytes({'h', 'e', 'l', 'l', 'o', '!', '!', '!', '!'}));
    auto brokenGif = smallGif();
    brokenGif.resize(brokenGif.size() / 2);
    const std::string halfGif = dir.write("half.gif", brokenGif);
    const std::string pastTheCap = dir.write("huge.bmp", smallBmp());
    std::filesystem::resize_file(pastTheCap, platform::kMaxPictureFileBytes + 1);

    PictureFile file;
    const std::pair<std::string, PictureFormat> cases[] = {
        {twoBytes, PictureFormat::Bmp},         {empty, PictureFormat::None},
        {oneByte, PictureFormat::None},         {text, PictureFormat::None},
        {halfGif, PictureFormat::Gif},          {dir.path("missing.bmp"), PictureFormat::None},
        {dir.path("sub"), PictureFormat::None}, {pastTheCap, PictureFormat::Bmp},
    };
    for (const auto& [name, format] : cases) {
        SCOPED_TRACE(name);
        ASSERT_EQ(file.loadBytes(smallBmp()), 1);
        EXPECT_EQ(file.load(name.c_str()), 0);
        EXPECT_EQ(file.format, format);
        EXPECT_EQ(file.width, 0);
        EXPECT_EQ(file.height, 0);
        EXPECT_EQ(file.bitmapHandle(), nullptr);
        EXPECT_EQ(file.picture, nullptr);
        EXPECT_EQ(file.bitmapFile, nullptr);
    }
}

TEST(PictureFile, AnotherLoadReleasesThePreviousPicture) {
    PictureFile file;
    ASSERT_EQ(file.loadBytes(smallGif()), 1);
    ASSERT_NE(file.picture, nullptr);
    ASSERT_EQ(file.loadBytes(smallBmp()), 1);
    EXPECT_EQ(file.picture, nullptr);
    EXPECT_NE(file.bitmapFile, nullptr);
    ASSERT_EQ(file.loadBytes(smallGif()), 1);
    EXPECT_EQ(file.bitmapFile, nullptr);
    EXPECT_EQ(file.bitmapHandle()->width, 3);
}

// Each reader asks before it takes the picture's memory; the JPEG library's working memory comes
// out of the same allowance. Only a picture turned away for memory is said to be.
TEST(PictureFile, APictureIsTurnedAwayBeforeItsMemoryWhenItWouldGoPastTheAllowance) {
    constexpr std::int64_t kPicture = std::int64_t{4} * 4096 * 4096;
    for (int kind = 0; kind < 5; ++kind) {
        SCOPED_TRACE(kind);
        const std::vector<std::uint8_t> file = hostilePicture(kind);
        PictureFile picture;
        platform::PictureAllowance tight{kPicture - 1};
        EXPECT_EQ(picture.loadBytes(file, tight), 0);
        EXPECT_EQ(tight.passed, platform::LimitPassed::Kept);
        platform::PictureAllowance kept{3 * kPicture - 1, 12};
        EXPECT_EQ(picture.loadBytes(file, kept), 0) << "12 bytes a pixel are kept";
        EXPECT_EQ(kept.passed, platform::LimitPassed::Kept);
        platform::PictureAllowance roomy{3 * kPicture, 12};
        // The cut JPEG is refused where the decoders do not patch over broken data (Windows).
        const int loaded = kind == 3 && !testing_pictures::decodersRepairBrokenData() ? 0 : 1;
        EXPECT_EQ(picture.loadBytes(file, roomy), loaded);
        EXPECT_EQ(roomy.passed, platform::LimitPassed::None);
        EXPECT_EQ(roomy.countedPixels, kPicture / 4) << "a GIF counts its image, however shown";
    }
    // The picture fits, the progressive file's coefficients do not.
    platform::PictureAllowance noRoomToDecode{std::int64_t{4} * 4096 * 4096 + (1 << 20)};
    PictureFile jpeg;
    EXPECT_EQ(jpeg.loadBytes(hostilePicture(3), noRoomToDecode), 0);
    EXPECT_EQ(noRoomToDecode.passed, platform::LimitPassed::Decoding);

    std::vector<std::uint8_t> overCaps = hostilePicture(0);
    overCaps[18 + 2] = 0x01; // width 4096 + 65536
    platform::PictureAllowance none{0};
    EXPECT_EQ(jpeg.loadBytes(overCaps, none), 0);
    EXPECT_EQ(none.passed, platform::LimitPassed::None)
        << "past the caps is a broken file, whatever the allowance";
}
