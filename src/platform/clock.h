// Time as the game sees it: a 32-bit millisecond tick count that wraps, and a sleep.
//
// The game thread calls both. A backend can be swapped in with useClock() (the virtual clock of
// tests and the simulator); without one, the monotonic clock of the machine is used.
// useClock() is not synchronised: call it while no other thread reads the clock.
#pragma once

#include <atomic>
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

// For a caller that would otherwise look at `word` every pollMs until it no longer holds `seen`.
// On the machine's clock it returns once it does, however long that takes: every writer must
// call announceChange(word) after storing to it. On a backend clock it is sleepMs(pollMs), so a
// virtual clock keeps its schedule; the caller looks at the word again either way.
void sleepUntilChanged(const std::atomic<std::uint8_t>& word, std::uint8_t seen,
                       std::uint32_t pollMs);
void sleepUntilChanged(const std::atomic<std::int32_t>& word, std::int32_t seen,
                       std::uint32_t pollMs);
// Wakes whoever sleeps in sleepUntilChanged on `word`. Never blocks.
void announceChange(std::atomic<std::uint8_t>& word);
void announceChange(std::atomic<std::int32_t>& word);

// nullptr restores the machine's clock.
void useClock(ClockBackend* backend);

} // namespace platform
