#include "lcd/lcd_row.h"

#include "lcd/glyph_set.h"

namespace {

LcdDisplay* display = nullptr;

constexpr int kFirstCellX = 8;
constexpr int kCellPitch = 32;
constexpr int kCellY = 40;

} // namespace

void useLcdDisplay(LcdDisplay* newDisplay) {
    display = newDisplay;
}

void LcdRow::printAt(std::int16_t position, RtString text) {
    const std::int32_t length = stringLength(text);
    if (length == 0) {
        stringRelease(text);
        return;
    }
    for (int j = 0; j < length && j < kCells; ++j) {
        const int cell = position + j;
        if (cell >= 0 && cell < kCells) {
            cells[cell] = static_cast<unsigned char>(text[j]);
        }
    }
    redraw();
    stringRelease(text);
}

void LcdRow::clear() {
    cells.fill(0);
    redraw();
}

void LcdRow::redraw() {
    if (display == nullptr) {
        return;
    }
    for (int i = 0; i < kCells; ++i) {
        const int code = cells[i];
        const bool hasGlyph = code != 0 && GlyphSet::glyphLoaded[code] != 0;
        display->drawCell(hasGlyph ? code : GlyphSet::kBlankGlyph, kFirstCellX + kCellPitch * i,
                          kCellY);
    }
    display->rowDrawn();
}
