// The window's text layer: 101 rows of up to 254 characters laid over the back buffer.
//
// Nothing ever writes characters into it; clearing it matters for its other effect, a repaint of
// the whole window from the back buffer. clearScreen runs on the game thread while the window
// thread may be painting, so the rows live in static storage under their own lock: the process
// can end at any moment without one thread reading rows the other has freed.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>

struct TextScreen {
    static constexpr int kRows = 101;
    static constexpr int kRowBytes = 255;
    static inline std::mutex lock;
    static inline std::array<std::array<char, kRowBytes>, kRows> rows{};
};

// Mode 0 is taken as mode 1, the text mode: every row is emptied and the window repainted.
void clearScreen(std::int32_t mode);
