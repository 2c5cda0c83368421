#include "platform/clock.h"

#include "platform/machine_clock.h"
#include "platform/watch_pace.h"

#include <algorithm>

namespace platform {
namespace {

ClockBackend* activeBackend = nullptr;

// The machine's clock at the pace of watching: from `machineBase` on, the tick count runs `pace`
// times as fast as the machine's milliseconds from `tickBase`. At a steady 1x nothing here is
// written, so any thread may sleep; a faster pace is the game thread's alone, which also makes
// each change, so that the tick count never steps back.
struct PacedMachine {
    std::uint64_t machineBase = 0;
    std::uint64_t tickBase = 0;
    std::uint32_t pace = 1;
    // The tick a faster sleep ended at. The machine's milliseconds reach a tick only in steps of
    // the pace, so a sleep wakes in the millisecond that holds its end and the tick count is at
    // least that end from then on: every frame is its own length, and frames keep the pace.
    std::uint64_t sleptTo = 0;
};

PacedMachine paced;

std::uint64_t pacedTick() {
    const std::uint64_t now = machineMs();
    const std::uint64_t tick =
        std::max(paced.tickBase + (now - paced.machineBase) * paced.pace, paced.sleptTo);
    if (const std::uint32_t pace = watchPace(); pace != paced.pace) {
        paced = {now, tick, pace, tick};
    }
    return tick;
}

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
    return static_cast<std::uint32_t>(pacedTick());
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
    const std::uint64_t end = pacedTick() + ms;
    machineSleepUntil(paced.machineBase + (end - paced.tickBase) / paced.pace);
    if (paced.pace != 1) {
        paced.sleptTo = end;
    }
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
