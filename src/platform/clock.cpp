#include "platform/clock.h"

#include <cerrno>
#include <ctime>
#include <sched.h>

namespace platform {
namespace {

ClockBackend* activeBackend = nullptr;

std::uint64_t monotonicMs(const timespec& t) {
    return static_cast<std::uint64_t>(t.tv_sec) * 1000u +
           static_cast<std::uint64_t>(t.tv_nsec) / 1000000u;
}

timespec monotonicNow() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

// Sleeping to an absolute instant, the start of the millisecond at which the tick count has
// moved on by ms, keeps a 17 ms frame at 17 ms instead of 17 plus the sleep's own latency.
void sleepUntilTick(std::uint64_t tick) {
    timespec until{};
    until.tv_sec = static_cast<time_t>(tick / 1000u);
    until.tv_nsec = static_cast<long>((tick % 1000u) * 1000000u);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

} // namespace

std::uint32_t tickCount() {
    if (activeBackend != nullptr) {
        return activeBackend->tickCount();
    }
    return static_cast<std::uint32_t>(monotonicMs(monotonicNow()));
}

void sleepMs(std::uint32_t ms) {
    if (activeBackend != nullptr) {
        activeBackend->sleepMs(ms);
        return;
    }
    if (ms == 0) {
        sched_yield();
        return;
    }
    sleepUntilTick(monotonicMs(monotonicNow()) + ms);
}

void useClock(ClockBackend* backend) {
    activeBackend = backend;
}

} // namespace platform
