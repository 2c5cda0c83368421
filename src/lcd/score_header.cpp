#include "lcd/score_header.h"

#include "image/image_slot.h"
#include "lcd/glyph_set.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// The cells' top edge is the strip's lower edge.
constexpr int kStripBottom = 40;
// The number ends short of the backdrop's solar cells and is centred on their middle line.
constexpr int kRightEdge = 284;
constexpr int kMiddle = 16;

std::array<ImageSlot, 10> digitSlots;

} // namespace

void ScoreHeader::loadDigits() {
    char name[] = "bmp\\small0.bmp";
    for (int digit = 0; digit < 10; ++digit) {
        ImageSlot& slot = digitSlots[static_cast<std::size_t>(digit)];
        slot.construct();
        // Nothing reads these pictures' pixels, so no reader thread is started for them.
        slot.setRowPause(-1);
        name[9] = static_cast<char>('0' + digit);
        slot.load(name);
    }
}

void ScoreHeader::bindDigits() {
    for (ImageSlot& slot : digitSlots) {
        if (slot.bitmap != nullptr) {
            slot.bind();
        }
    }
}

void ScoreHeader::show(std::uint64_t score) {
    ImageSlot& backdrop = imageSlots[GlyphSet::kBackdrop];
    if (backdrop.bitmap != nullptr) {
        backdrop.drawPartAt(0, 0, backdrop.bitmap->width, kStripBottom, 0);
    }
    const std::string digits = std::to_string(score);
    const auto slotOf = [](char digit) -> ImageSlot& {
        return digitSlots[static_cast<std::size_t>(digit - '0')];
    };
    if (std::any_of(digits.begin(), digits.end(),
                    [&](char digit) { return slotOf(digit).bitmap == nullptr; })) {
        return;
    }
    int left = kRightEdge;
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
        ImageSlot& slot = slotOf(*digit);
        left -= slot.bitmap->width;
        const int top = std::max(0, kMiddle - slot.bitmap->height / 2);
        slot.drawPartAt(left, top, slot.bitmap->width, kStripBottom - top, 0);
    }
}
