// The dot-matrix font the glyph pictures are drawn from, kept as source that reads as pictures.
//
// Read by the glyph generator (one picture per entry) and by its tests. Each entry is a character
// code and seven rows of five dots, top row first: '#' a lit dot, '.' an unlit one. Codes without
// an entry get no picture, so the game shows them as the blank cell.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace glyphgen {

inline constexpr int kDotColumns = 5;
inline constexpr int kDotRows = 7;
inline constexpr char kLitDot = '#';
inline constexpr char kUnlitDot = '.';

struct GlyphPattern {
    int code;
    std::array<std::string_view, kDotRows> rows;
};

// Every entry, in ascending code order: the space, printable ASCII and the bonus symbol 0xA6.
std::span<const GlyphPattern> fontTable();

// The entry for a code, or null when the font has none.
const GlyphPattern* findGlyph(int code);

} // namespace glyphgen
