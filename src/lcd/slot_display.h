// The LCD row drawn for real: each cell's picture is the image record of that number, drawn
// into the window and its back buffer. Game thread.
#pragma once

#include "lcd/lcd_row.h"

class SlotDisplay final : public LcdDisplay {
  public:
    void drawCell(int record, int x, int y) override;
};
