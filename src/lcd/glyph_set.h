// One picture per character code, loaded into the image record of the same number.
#pragma once

#include <array>
#include <cstdint>

struct GlyphSet {
    static constexpr int kBlankGlyph = 32; // the picture of an empty cell
    static constexpr int kBackdrop = 0;    // picture 0 is the backdrop, never a glyph
    // 1 where the picture of that code loaded at start-up. Written once before the game runs.
    static inline std::array<std::uint8_t, 256> glyphLoaded{};

    // Tries "bmp\000.bmp" … "bmp\255.bmp" (relative to the current directory) into the image
    // records of the same numbers and notes each one that loaded in glyphLoaded. Game thread,
    // once, after the records are constructed; it needs no window.
    static void loadGlyphs();
    // Binds each record that loaded to the window. Game thread, once the window exists.
    static void bindGlyphs();
};
