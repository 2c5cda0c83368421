#include "platform/machine_clock.h"

#include <cerrno>
#include <ctime>
#include <sched.h>

namespace platform {

std::uint64_t machineMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::uint64_t>(t.tv_sec) * 1000u +
           static_cast<std::uint64_t>(t.tv_nsec) / 1000000u;
}

void machineSleepUntil(std::uint64_t deadlineMs) {
    timespec until{};
    until.tv_sec = static_cast<time_t>(deadlineMs / 1000u);
    until.tv_nsec = static_cast<long>((deadlineMs % 1000u) * 1000000u);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

void machineYield() {
    sched_yield();
}

void machineWaitWhile(const std::atomic<std::uint8_t>& word, std::uint8_t seen) {
    word.wait(seen);
}

void machineWaitWhile(const std::atomic<std::int32_t>& word, std::int32_t seen) {
    word.wait(seen);
}

void machineWake(std::atomic<std::uint8_t>& word) {
    word.notify_all();
}

void machineWake(std::atomic<std::int32_t>& word) {
    word.notify_all();
}

} // namespace platform
