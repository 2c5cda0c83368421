#include "lcd/slot_display.h"

#include "image/image_slot.h"

void SlotDisplay::drawCell(int record, int x, int y) {
    // A record without a picture draws nothing and the cell keeps its pixels.
    imageSlots[static_cast<std::size_t>(record)].drawAt(x, y, 0);
}
