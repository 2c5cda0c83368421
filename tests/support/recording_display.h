// An LcdDisplay that remembers every cell drawn, for tests of the row and the game.
#pragma once

#include "lcd/lcd_row.h"

#include <array>
#include <vector>

struct DrawnCell {
    int record;
    int x;
    int y;
    bool operator==(const DrawnCell&) const = default;
};

class RecordingDisplay final : public LcdDisplay {
  public:
    RecordingDisplay() { useLcdDisplay(this); }
    ~RecordingDisplay() override { useLcdDisplay(nullptr); }
    RecordingDisplay(const RecordingDisplay&) = delete;
    RecordingDisplay& operator=(const RecordingDisplay&) = delete;

    void drawCell(int record, int x, int y) override { cells.push_back({record, x, y}); }
    void rowDrawn() override { rows.push_back(LcdRow::cells); }

    std::vector<DrawnCell> cells;
    // The cell codes at each completed redraw.
    std::vector<std::array<std::int16_t, LcdRow::kCells>> rows;
};
