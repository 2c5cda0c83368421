// Small JPEG and GIF files made in the test, so that the decoders are checked against files we
// know the content of: with libjpeg's and giflib's encoders (encoded_pictures_libs.cpp), or on
// Windows with the system's JPEG encoder and a GIF writer of our own (encoded_pictures_win32.cpp).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace testing_pictures {

enum class JpegColours { YCbCr, Gray, AdobeCmyk, PlainCmyk };

// False where the JPEG encoder writes only baseline files (the system's, on Windows): makeJpeg
// then throws for a progressive one, and the tests leave such cases out.
bool progressiveJpegAvailable();

// True where the decoders patch over broken data as libjpeg and giflib do (a scan cut short is
// padded, an LZW code past the table is taken as it comes); the system's decoders on Windows
// refuse such files instead.
bool decodersRepairBrokenData();

// pixels: width × height colours 0x00RRGGBB, rows top-down.
std::vector<std::uint8_t> makeJpeg(int width, int height, const std::vector<std::uint32_t>& pixels,
                                   JpegColours colours = JpegColours::YCbCr,
                                   bool progressive = false);

// Offset of the first start-of-frame marker (0xFF 0xC0..0xC2); its height is at +5, its width at
// +7, both big-endian.
std::size_t jpegFrameHeader(const std::vector<std::uint8_t>& jpeg);

struct GifSpec {
    int screenWidth = 0;
    int screenHeight = 0;
    std::vector<std::uint32_t> globalMap; // empty: none; else a power of two entries
    int background = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> localMap;
    std::vector<std::uint8_t> indices; // width × height, rows top-down
    bool interlaced = false;
    int transparent = -1;                  // written as a graphics control extension when >= 0
    std::vector<std::uint8_t> secondFrame; // another image of the same place when not empty
};

std::vector<std::uint8_t> makeGif(const GifSpec& recipe);

// Declares the global colour map to have only `entries` colours (a power of two) and drops the
// rest of it, leaving the image data as it was: indices past the map then appear in the data.
void shrinkGlobalMap(std::vector<std::uint8_t>& gif, int entries);

// True when every channel of two 0x00RRGGBB colours differs by at most `tolerance`: JPEG is lossy.
inline bool colourNear(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

// width × height pixels in four quadrants: red, green / blue, white.
std::vector<std::uint32_t> quadrants(int width, int height);

} // namespace testing_pictures
