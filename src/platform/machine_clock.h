// The machine's own clock, behind tickCount() and sleepMs() when no other clock is in use: one
// implementation per operating system (machine_clock_posix.cpp, machine_clock_win32.cpp).
// The game thread calls both; the frame pacing bench measures them.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a monotonic clock, from an arbitrary start.
std::uint64_t machineMs();

// Returns at the start of the millisecond `deadlineMs` of machineMs(), not before; at once when
// that has passed.
void machineSleepUntil(std::uint64_t deadlineMs);

// Gives up the rest of the thread's time slice.
void machineYield();

} // namespace platform
