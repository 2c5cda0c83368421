// The simulated one-line LCD: 12 cells of character codes, redrawn in full after every change.
// Game thread only.
#pragma once

#include "runtime/rt_string.h"

#include <array>
#include <cstdint>

struct LcdRow {
    static constexpr int kCells = 12;
    // Code 0 is an empty cell; codes are the bytes of the text written there.
    static inline std::array<std::int16_t, kCells> cells{};

    // Stores the text's bytes in consecutive cells from `position` and redraws the row. The
    // text is consumed. An empty text changes and draws nothing; bytes that would land outside
    // cells 0..11, and bytes after the 12th, are dropped.
    static void printAt(std::int16_t position, RtString text);
    static void clear();
    static void redraw();
};

// Where the row's cell pictures go: the window in the desktop game, a recorder in the
// simulator and the tests.
class LcdDisplay {
  public:
    virtual ~LcdDisplay() = default;
    // Draw image record `record` with its top-left corner at (x, y) of the client area.
    virtual void drawCell(int record, int x, int y) = 0;
    // All 12 cells of one redraw have been drawn.
    virtual void rowDrawn() {}
};

// nullptr: redraws go nowhere. Not synchronised; set it before the game runs.
void useLcdDisplay(LcdDisplay* display);
