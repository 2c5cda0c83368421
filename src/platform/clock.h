// Time as the game sees it: a 32-bit millisecond tick count that wraps, and a sleep.
//
// The game thread calls both. A backend can be swapped in with useClock() (the virtual clock of
// tests and the simulator); without one, the monotonic clock of the machine is used.
// useClock() is not synchronised: call it while no other thread reads the clock.
#pragma once

#include <cstdint>

namespace platform {

class ClockBackend {
  public:
    virtual ~ClockBackend() = default;
    virtual std::uint32_t tickCount() = 0;
    virtual void sleepMs(std::uint32_t ms) = 0;
};

// Milliseconds since an arbitrary start, modulo 2^32.
std::uint32_t tickCount();

// Returns once the tick count has advanced by ms; sleepMs(0) only yields the processor.
void sleepMs(std::uint32_t ms);

// nullptr restores the machine's clock.
void useClock(ClockBackend* backend);

} // namespace platform
