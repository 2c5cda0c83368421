#include "lcd/glyph_set.h"

#include "image/image_slot.h"
#include "image/picture_budget.h"
#include "runtime/number_text.h"

void GlyphSet::loadGlyphs() {
    // Each reading of the whole folder may read as much as the one at start-up.
    pictureBytesRead = 0;
    char name[] = "bmp\\000.bmp";
    for (int code = 0; code <= 255; ++code) {
        name[4] = static_cast<char>('0' + floorToInt(code / 100.0));
        name[5] = static_cast<char>('0' + floorToInt(code / 10.0) % 10);
        name[6] = static_cast<char>('0' + code % 10);
        ImageSlot& slot = imageSlots[code];
        if (slot.load(name) == 1) {
            // Refused while the reader still runs; nothing loads this slot again, so either way.
            slot.setRowPause(-1);
            glyphLoaded[code] = 1;
        }
    }
}

void GlyphSet::bindGlyphs() {
    for (int code = 0; code <= 255; ++code) {
        if (glyphLoaded[code] != 0) {
            imageSlots[code].bind();
        }
    }
}
