#include "lcd/score_header.h"

#include "image/image_slot.h"
#include "lcd/glyph_set.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <optional>
#include <string>

namespace {

// The cells' top edge is the strip's lower edge.
constexpr int kStripBottom = 40;
// The number ends short of the backdrop's solar cells and is centred on their middle line.
constexpr int kRightEdge = 284;
constexpr int kMiddle = 16;

// Where the sound-off picture's left edge stands: past the case's lettering, and clear of any
// score of up to six digits.
constexpr int kSoundOffLeft = 122;

std::array<ImageSlot, 10> digitSlots;
ImageSlot soundOffSlot;

std::mutex redrawLock;
std::optional<std::uint64_t> scoreShown;
bool soundOff = false;

void redraw() {
    ImageSlot& backdrop = imageSlots[GlyphSet::kBackdrop];
    if (backdrop.bitmap != nullptr) {
        backdrop.drawPartAt(0, 0, backdrop.bitmap->width, kStripBottom, 0);
    }
    if (soundOff && soundOffSlot.bitmap != nullptr) {
        const int top = std::max(0, kMiddle - soundOffSlot.bitmap->height / 2);
        soundOffSlot.drawPartAt(kSoundOffLeft, top, soundOffSlot.bitmap->width, kStripBottom - top,
                                0);
    }
    if (!scoreShown) {
        return;
    }
    const std::string digits = std::to_string(*scoreShown);
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
    soundOffSlot.construct();
    soundOffSlot.setRowPause(-1);
    soundOffSlot.load("bmp\\soundoff.bmp");
}

void ScoreHeader::bindDigits() {
    for (ImageSlot& slot : digitSlots) {
        if (slot.bitmap != nullptr) {
            slot.bind();
        }
    }
    if (soundOffSlot.bitmap != nullptr) {
        soundOffSlot.bind();
    }
}

void ScoreHeader::show(std::uint64_t score) {
    std::lock_guard guard(redrawLock);
    scoreShown = score;
    redraw();
}

void ScoreHeader::showSoundOff(bool off) {
    std::lock_guard guard(redrawLock);
    soundOff = off;
    redraw();
}
