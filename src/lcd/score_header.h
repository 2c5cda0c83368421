// The best score in the window's header, the strip above the 12 cells that the backdrop fills:
// small dot-matrix digits, right-aligned; and at its left end, while the sound is off, the picture
// that says so. Their pictures, "bmp\small0.bmp" … "bmp\small9.bmp" and "bmp\soundoff.bmp", ship
// beside the glyph pictures and can be replaced like them. Load and bind on the game thread; show
// and showSoundOff from any thread (mute is toggled on the window thread), one redraw at a time.
#pragma once

#include <cstdint>

struct ScoreHeader {
    // Tries the ten digit pictures into image records of their own; needs no window.
    static void loadDigits();
    // Ties the digits that loaded to the window, once it exists.
    static void bindDigits();
    // Draws the backdrop's strip afresh, so nothing of an earlier number stays, and `score` over
    // it. No digit at all when one it needs has no picture: a number with a gap would read as
    // another number. Pictures are cut at the strip's lower edge, so nothing reaches the cells.
    static void show(std::uint64_t score);
    // Redraws the strip with the best score shown last, and the sound-off picture when `off`.
    static void showSoundOff(bool off);
};
