// Paints the pictures of the one-line LCD: a glyph cell from a font entry, the backdrop that
// frames the twelve cells, and the small digits of the best score in the header above them. Called
// by the generator and its tests; pure functions, any thread.
#pragma once

#include "font_table.h"
#include "platform/bitmap.h"

#include <cstdint>

namespace glyphgen {

inline constexpr int kGlyphWidth = 24;
inline constexpr int kGlyphHeight = 40;
inline constexpr int kBackdropWidth = 392;
inline constexpr int kBackdropHeight = 88;
inline constexpr int kSmallDigitWidth = 18;
inline constexpr int kSmallDigitHeight = 24;

// Where the game draws cell i: x = kFirstCellX + kCellPitch × i, y = kCellY.
inline constexpr int kCellCount = 12;
inline constexpr int kFirstCellX = 8;
inline constexpr int kCellPitch = 32;
inline constexpr int kCellY = 40;

inline constexpr std::uint32_t kPanelColour = 0xC5D0B4;
inline constexpr std::uint32_t kLitColour = 0x1E2A1E;

struct DotBox {
    int x, y, width, height;
};

// The pixels of dot (column, row) of the matrix inside a glyph picture.
DotBox dotBox(int column, int row);

// A kGlyphWidth × kGlyphHeight picture of the pattern's lit and unlit dots on the panel.
platform::Bitmap paintGlyph(const GlyphPattern& pattern);

// A kSmallDigitWidth × kSmallDigitHeight picture of the pattern in smaller dots, legible at the
// window's own size; side by side they make a small panel of their own.
platform::Bitmap paintSmallDigit(const GlyphPattern& pattern);

// Two small digits wide: a speaker and a cross, in the small digits' dots, shown in the header
// while the sound is off.
platform::Bitmap paintSoundOff();

// The kBackdropWidth × kBackdropHeight picture behind the row, with every cell blank.
platform::Bitmap paintBackdrop();

} // namespace glyphgen
