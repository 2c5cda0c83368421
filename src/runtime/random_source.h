// The game's linear congruential generator: 0..32767 per draw. Game thread only.
#pragma once

#include <cstdint>

struct RandomSource {
    static inline std::uint32_t seed = 0;

    static std::int32_t next();
    // Seeds from the tick count, so every run plays differently.
    static void randomize();
    static void setSeed(std::int32_t value);
};
