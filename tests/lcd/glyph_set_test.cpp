#include "image/bmp_builder.h"
#include "image/image_slot.h"
#include "lcd/glyph_set.h"
#include "platform/encoded_pictures.h"
#include "platform/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<std::uint8_t> tinyBmp() {
    BmpSpec bmp;
    bmp.width = 1;
    bmp.height = 1;
    bmp.pixels = {1, 2, 3, 0};
    return makeBmp(bmp);
}

// Runs loadGlyphs and bindGlyphs in a folder holding the given files, then goes back.
void loadGlyphsIn(const ScratchDir& dir) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path(""));
    for (ImageSlot& slot : imageSlots) {
        slot.construct();
    }
    GlyphSet::glyphLoaded.fill(0);
    GlyphSet::loadGlyphs();
    GlyphSet::bindGlyphs();
    std::filesystem::current_path(before);
}

std::vector<int> loadedCodes() {
    std::vector<int> codes;
    for (int code = 0; code < 256; ++code) {
        if (GlyphSet::glyphLoaded[code] != 0) {
            codes.push_back(code);
        }
    }
    return codes;
}

TEST(GlyphSet, LoadsTheCodesWhoseFilesExistByTheirThreeDigitNames) {
    ScratchDir dir;
    for (const char* name : {"bmp/032.bmp", "bmp/048.bmp", "bmp/007.bmp", "bmp/100.bmp",
                             "bmp/166.bmp", "bmp/255.bmp"}) {
        dir.write(name, tinyBmp());
    }
    dir.write("bmp/32.bmp", tinyBmp()); // not a three-digit name: never tried
    loadGlyphsIn(dir);
    EXPECT_EQ(loadedCodes(), (std::vector<int>{7, 32, 48, 100, 166, 255}));
    EXPECT_NE(imageSlots[48].bitmap, nullptr);
    EXPECT_EQ(imageSlots[49].bitmap, nullptr);
    EXPECT_EQ(imageSlots[48].mirrorToBackBuffer, 1) << "loaded slots are bound";
    EXPECT_EQ(imageSlots[49].mirrorToBackBuffer, 0) << "the others stay unbound";
}

TEST(GlyphSet, TheContentDecidesTheFormatNotTheName) {
    ScratchDir dir;
    testing_pictures::GifSpec gif;
    gif.screenWidth = gif.width = 2;
    gif.screenHeight = gif.height = 2;
    gif.globalMap = {0x000000, 0xFFFFFF};
    gif.indices = {0, 1, 1, 0};
    dir.write("bmp/065.bmp", testing_pictures::makeGif(gif));
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                                     'I',  'H', 'D', 'R', 0,    0,    2,    0x80, 0, 0, 1, 0xE0};
    dir.write("bmp/066.bmp", png);
    loadGlyphsIn(dir);
    EXPECT_EQ(loadedCodes(), std::vector<int>{65}) << "the GIF loads, the PNG does not";
    EXPECT_EQ(imageSlots[66].pictureFile.width, 640);
    EXPECT_EQ(imageSlots[66].pictureFile.height, 480);
}

} // namespace
