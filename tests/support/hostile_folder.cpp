#include "support/hostile_folder.h"

#include "image/bmp_builder.h"
#include "platform/encoded_pictures.h"

#include <cstdio>
#include <fstream>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kSide = 4096; // 16 Mi pixels: the pixel cap

Bytes progressiveJpegCutShort() {
    using namespace testing_pictures;
    // Baseline where the test cannot write progressive files (the system's encoder on Windows).
    Bytes jpeg =
        makeJpeg(16, 16, quadrants(16, 16), JpegColours::YCbCr, progressiveJpegAvailable());
    const std::size_t frame = jpegFrameHeader(jpeg);
    for (const std::size_t at : {frame + 5, frame + 7}) {
        jpeg[at] = kSide >> 8;
        jpeg[at + 1] = kSide & 0xFF;
    }
    // Cut right after the first scan header: the library fills in the rest of the picture.
    for (std::size_t at = 2; at + 4 <= jpeg.size();
         at += 2 + ((jpeg[at + 2] << 8) | jpeg[at + 3])) {
        if (jpeg[at + 1] == 0xDA) {
            jpeg.resize(at + 2 + ((jpeg[at + 2] << 8) | jpeg[at + 3]));
            break;
        }
    }
    return jpeg;
}

// A white square image at the top-left corner of a square screen.
Bytes whiteGif(int screenSide, int imageSide) {
    testing_pictures::GifSpec gif;
    gif.screenWidth = gif.screenHeight = screenSide;
    gif.globalMap = {0x000000, 0xFFFFFF};
    gif.width = gif.height = imageSide;
    gif.indices.assign(static_cast<std::size_t>(imageSide) * imageSide, 1);
    return testing_pictures::makeGif(gif);
}

} // namespace

Bytes hostilePicture(int code) {
    switch (code % 5) {
    case 0:
        return makeBmp(rle(kBmpRle8, kSide, kSide, {0, 1}));
    case 1:
        return makeBmp(rle(kBmpRle4, kSide, kSide, {0, 1}));
    case 2:
        return whiteGif(kSide, 1);
    case 3:
        return progressiveJpegCutShort();
    default: {
        // Made once: a folder holds dozens, each a cap's worth of pixels to encode.
        static const Bytes imageAtTheCap = whiteGif(1, kSide);
        return imageAtTheCap;
    }
    }
}

int writeHostileFolder(const std::filesystem::path& glyphs, const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder / "bmp");
    int hostile = 0;
    for (int code = 0; code <= 255; ++code) {
        char name[8];
        std::snprintf(name, sizeof name, "%03d.bmp", code);
        if (std::filesystem::exists(glyphs / name)) {
            std::filesystem::copy_file(glyphs / name, folder / "bmp" / name,
                                       std::filesystem::copy_options::overwrite_existing);
            continue;
        }
        const Bytes file = hostilePicture(code);
        std::ofstream(folder / "bmp" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()),
                   static_cast<std::streamsize>(file.size()));
        ++hostile;
    }
    return hostile;
}
