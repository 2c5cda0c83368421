#include "runtime/random_source.h"

#include "platform/clock.h"

std::int32_t RandomSource::next() {
    seed = seed * 1103515245u + 12345u;
    return static_cast<std::int32_t>((seed >> 16) & 0x7FFFu);
}

void RandomSource::randomize() { setSeed(static_cast<std::int32_t>(platform::tickCount())); }

void RandomSource::setSeed(std::int32_t value) { seed = static_cast<std::uint32_t>(value); }
