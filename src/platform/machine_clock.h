// The machine's own clock, behind tickCount() and sleepMs() when no other clock is in use: one
// implementation per operating system (machine_clock_posix.cpp, machine_clock_win32.cpp).
// The game thread calls both; the frame pacing bench measures them.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform {

// Milliseconds of a monotonic clock, from an arbitrary start.
std::uint64_t machineMs();

// Returns at the start of the millisecond `deadlineMs` of machineMs(), not before; at once when
// that has passed.
void machineSleepUntil(std::uint64_t deadlineMs);

// Gives up the rest of the thread's time slice.
void machineYield();

// Sleeps while `word` holds `seen`; may also return early. Wakes when machineWake(word) is called
// after a store. libstdc++ 12's own wait for atomics can miss a wake-up where the system has no
// futex (Windows), so each system gets the call of its own that compares and sleeps in one step.
void machineWaitWhile(const std::atomic<std::uint8_t>& word, std::uint8_t seen);
void machineWaitWhile(const std::atomic<std::int32_t>& word, std::int32_t seen);
// Never blocks.
void machineWake(std::atomic<std::uint8_t>& word);
void machineWake(std::atomic<std::int32_t>& word);

} // namespace platform
