#include "platform/clock.h"

#include "platform/machine_clock.h"

namespace platform {
namespace {

ClockBackend* activeBackend = nullptr;

template <typename Word>
void sleepUntilWordChanged(const std::atomic<Word>& word, Word seen, std::uint32_t pollMs) {
    if (activeBackend != nullptr) {
        activeBackend->sleepMs(pollMs);
        return;
    }
    while (word.load() == seen) {
        machineWaitWhile(word, seen);
    }
}

} // namespace

std::uint32_t tickCount() {
    if (activeBackend != nullptr) {
        return activeBackend->tickCount();
    }
    return static_cast<std::uint32_t>(machineMs());
}

void sleepMs(std::uint32_t ms) {
    if (activeBackend != nullptr) {
        activeBackend->sleepMs(ms);
        return;
    }
    if (ms == 0) {
        machineYield();
        return;
    }
    // Sleeping to an absolute instant, the start of the millisecond at which the tick count has
    // moved on by ms, keeps a 17 ms frame at 17 ms instead of 17 plus the sleep's own latency.
    machineSleepUntil(machineMs() + ms);
}

void sleepUntilChanged(const std::atomic<std::uint8_t>& word, std::uint8_t seen,
                       std::uint32_t pollMs) {
    sleepUntilWordChanged(word, seen, pollMs);
}

void sleepUntilChanged(const std::atomic<std::int32_t>& word, std::int32_t seen,
                       std::uint32_t pollMs) {
    sleepUntilWordChanged(word, seen, pollMs);
}

void announceChange(std::atomic<std::uint8_t>& word) {
    machineWake(word);
}

void announceChange(std::atomic<std::int32_t>& word) {
    machineWake(word);
}

void useClock(ClockBackend* backend) {
    activeBackend = backend;
}

} // namespace platform
