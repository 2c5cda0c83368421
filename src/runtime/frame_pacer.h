// Holds the game to a fixed frame period. Game thread only.
#pragma once

#include <cstdint>

struct FramePacer {
    // The previous frame's deadline in tick-count milliseconds; 0 at program start.
    static inline std::uint32_t deadline = 0;

    // Returns when the next tick of the schedule is due: one interval after the previous
    // deadline. A late frame does not sleep and restarts the schedule from the present instead
    // of catching up. Ticks compare through their difference, across the 32-bit wrap alike.
    static void wait(std::uint32_t intervalMs);
};
