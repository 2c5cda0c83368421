#include "lcd_painter.h"

#include <string_view>

namespace glyphgen {
namespace {

// Where the dots of a 5 × 7 matrix go in a picture of the given size: centred, dots a little
// taller than wide as on real panels, or square where they are as small as the header's.
struct DotMatrix {
    int width, height, pitchX, pitchY, dotWidth, dotHeight;

    constexpr DotBox box(int column, int row) const {
        const int left = (width - (pitchX * (kDotColumns - 1) + dotWidth)) / 2;
        const int top = (height - (pitchY * (kDotRows - 1) + dotHeight)) / 2;
        return {left + column * pitchX, top + row * pitchY, dotWidth, dotHeight};
    }
};

constexpr DotMatrix kCellMatrix{kGlyphWidth, kGlyphHeight, 4, 5, 3, 4};
constexpr DotMatrix kSmallMatrix{kSmallDigitWidth, kSmallDigitHeight, 3, 3, 2, 2};

constexpr std::uint32_t mix(std::uint32_t from, std::uint32_t to, int percent) {
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((from >> shift) & 0xFF);
        const int b = static_cast<int>((to >> shift) & 0xFF);
        result |= static_cast<std::uint32_t>(a + (b - a) * percent / 100) << shift;
    }
    return result;
}

// Unlit dots stay faintly visible, and lit ones cast a soft shadow on the reflector behind the
// liquid crystal: without both the panel reads as flat paint rather than a display.
constexpr std::uint32_t kUnlitColour = mix(kPanelColour, kLitColour, 7);
constexpr std::uint32_t kShadowColour = mix(kPanelColour, kLitColour, 16);

void fillRect(platform::Bitmap& bitmap, int x, int y, int width, int height, std::uint32_t rgb) {
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            if (column >= 0 && column < bitmap.width && row >= 0 && row < bitmap.height) {
                bitmap.setPixel(column, row, rgb);
            }
        }
    }
}

bool isLit(const GlyphPattern& pattern, int column, int row) {
    return pattern.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == kLitDot;
}

// Small lettering for the case: one pixel per dot, a pixel of gap between dots.
void printCaseText(platform::Bitmap& bitmap, int x, int y, std::string_view text,
                   std::uint32_t rgb) {
    constexpr int kAdvance = 2 * kDotColumns + 2;
    for (const char character : text) {
        if (const GlyphPattern* pattern = findGlyph(static_cast<unsigned char>(character))) {
            for (int row = 0; row < kDotRows; ++row) {
                for (int column = 0; column < kDotColumns; ++column) {
                    if (isLit(*pattern, column, row)) {
                        fillRect(bitmap, x + 2 * column, y + 2 * row, 1, 1, rgb);
                    }
                }
            }
        }
        x += kAdvance;
    }
}

platform::Bitmap paintDots(const GlyphPattern& pattern, const DotMatrix& matrix) {
    platform::Bitmap picture(matrix.width, matrix.height, kPanelColour);
    for (int row = 0; row < kDotRows; ++row) {
        for (int column = 0; column < kDotColumns; ++column) {
            const DotBox box = matrix.box(column, row);
            fillRect(picture, box.x, box.y, box.width, box.height, kUnlitColour);
        }
    }
    for (int row = 0; row < kDotRows; ++row) {
        for (int column = 0; column < kDotColumns; ++column) {
            if (isLit(pattern, column, row)) {
                const DotBox box = matrix.box(column, row);
                fillRect(picture, box.x + 1, box.y + 1, box.width, box.height, kShadowColour);
            }
        }
    }
    for (int row = 0; row < kDotRows; ++row) {
        for (int column = 0; column < kDotColumns; ++column) {
            if (isLit(pattern, column, row)) {
                const DotBox box = matrix.box(column, row);
                fillRect(picture, box.x, box.y, box.width, box.height, kLitColour);
            }
        }
    }
    return picture;
}

// A strip of solar cells, the way a pocket calculator shows where its power comes from.
void paintSolarStrip(platform::Bitmap& bitmap, int x, int y, int cells) {
    constexpr int kCellWidth = 22;
    constexpr int kCellHeight = 14;
    constexpr std::uint32_t kFrame = 0x17161A;
    constexpr std::uint32_t kCell = 0x322B36;
    constexpr std::uint32_t kFinger = 0x433A48;
    fillRect(bitmap, x - 1, y - 1, cells * (kCellWidth + 1) + 1, kCellHeight + 2, kFrame);
    for (int cell = 0; cell < cells; ++cell) {
        const int left = x + cell * (kCellWidth + 1);
        fillRect(bitmap, left, y, kCellWidth, kCellHeight, kCell);
        for (int row = y + 2; row < y + kCellHeight; row += 3) {
            fillRect(bitmap, left, row, kCellWidth, 1, kFinger);
        }
    }
}

} // namespace

DotBox dotBox(int column, int row) {
    return kCellMatrix.box(column, row);
}

platform::Bitmap paintGlyph(const GlyphPattern& pattern) {
    return paintDots(pattern, kCellMatrix);
}

platform::Bitmap paintSmallDigit(const GlyphPattern& pattern) {
    return paintDots(pattern, kSmallMatrix);
}

platform::Bitmap paintSoundOff() {
    constexpr GlyphPattern kSpeaker{
        0, {"....#", "...##", "#####", "#####", "#####", "...##", "....#"}};
    constexpr GlyphPattern kCross{0,
                                  {".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "....."}};
    platform::Bitmap picture(2 * kSmallDigitWidth, kSmallDigitHeight, kPanelColour);
    platform::copyRect(picture, 0, 0, kSmallDigitWidth, kSmallDigitHeight,
                       paintDots(kSpeaker, kSmallMatrix), 0, 0, platform::kSrcCopy);
    platform::copyRect(picture, kSmallDigitWidth, 0, kSmallDigitWidth, kSmallDigitHeight,
                       paintDots(kCross, kSmallMatrix), 0, 0, platform::kSrcCopy);
    return picture;
}

platform::Bitmap paintBackdrop() {
    constexpr std::uint32_t kCaseTop = 0x3C4147;
    constexpr std::uint32_t kCaseBottom = 0x272A2E;
    constexpr std::uint32_t kCaseHighlight = 0x5A6068;
    constexpr std::uint32_t kBezelShade = 0x15171A;
    constexpr std::uint32_t kBezelLight = 0x62686F;
    constexpr std::uint32_t kLettering = 0xD6DBE0;
    // The window around the cells: a recess two pixels deep, the panel inside it.
    constexpr int kPanelLeft = 4;
    constexpr int kPanelTop = 34;
    constexpr int kPanelRight = kBackdropWidth - 4;
    constexpr int kPanelBottom = kBackdropHeight - 4;

    platform::Bitmap backdrop(kBackdropWidth, kBackdropHeight);
    for (int y = 0; y < kBackdropHeight; ++y) {
        fillRect(backdrop, 0, y, kBackdropWidth, 1,
                 mix(kCaseTop, kCaseBottom, y * 100 / (kBackdropHeight - 1)));
    }
    fillRect(backdrop, 0, 0, kBackdropWidth, 1, kCaseHighlight);

    fillRect(backdrop, kPanelLeft - 2, kPanelTop - 2, kPanelRight - kPanelLeft + 4,
             kPanelBottom - kPanelTop + 4, kBezelLight);
    fillRect(backdrop, kPanelLeft - 2, kPanelTop - 2, kPanelRight - kPanelLeft + 3,
             kPanelBottom - kPanelTop + 3, kBezelShade);
    fillRect(backdrop, kPanelLeft, kPanelTop, kPanelRight - kPanelLeft, kPanelBottom - kPanelTop,
             kPanelColour);
    // The bezel's lip shades the panel's top and left edges.
    fillRect(backdrop, kPanelLeft, kPanelTop, kPanelRight - kPanelLeft, 2, kShadowColour);
    fillRect(backdrop, kPanelLeft, kPanelTop, 2, kPanelBottom - kPanelTop, kShadowColour);

    printCaseText(backdrop, 10, 10, "KESTRILON", kLettering);
    paintSolarStrip(backdrop, kBackdropWidth - 4 * 23 - 8, 9, 4);

    const platform::Bitmap blank = paintGlyph(*findGlyph(' '));
    for (int cell = 0; cell < kCellCount; ++cell) {
        platform::copyRect(backdrop, kFirstCellX + kCellPitch * cell, kCellY, kGlyphWidth,
                           kGlyphHeight, blank, 0, 0, platform::kSrcCopy);
    }
    return backdrop;
}

} // namespace glyphgen
