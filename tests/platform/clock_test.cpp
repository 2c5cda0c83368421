#include "platform/clock.h"
#include "platform/headless/virtual_clock.h"
#include "platform/watch_pace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(Clock, MachineSleepReturnsOnlyOnceTheTickCountHasMovedOnAtEveryPace) {
    std::uint32_t last = platform::tickCount();
    for (std::uint32_t pace : {1u, 4u, 2u, 1u}) {
        platform::startWatching(pace);
        for (std::uint32_t ms : {1u, 3u, 17u}) {
            const std::uint32_t before = platform::tickCount();
            EXPECT_LT(before - last, 1000u) << "never back, pace " << pace;
            platform::sleepMs(ms);
            last = platform::tickCount();
            EXPECT_GE(last - before, ms) << "pace " << pace;
        }
    }
    platform::stopWatching();
}

TEST(Clock, VirtualClockMovesOnlyBySleepsAndCanStopTheSleeper) {
    platform::VirtualClock clock(0xFFFFFFFEu);
    std::vector<std::uint32_t> slept;
    clock.onAfterSleep([&](std::uint32_t ms) { slept.push_back(ms); });
    clock.onBeforeSleep([](std::uint32_t ms) {
        if (ms > 100) {
            throw ms;
        }
    });
    platform::useClock(&clock);
    EXPECT_EQ(platform::tickCount(), 0xFFFFFFFEu);
    platform::sleepMs(5);
    EXPECT_EQ(platform::tickCount(), 3u) << "the tick count wraps";
    EXPECT_THROW(platform::sleepMs(500), std::uint32_t);
    EXPECT_EQ(platform::tickCount(), 3u) << "a refused sleep leaves the clock where it was";
    platform::useClock(nullptr);
    EXPECT_EQ(slept, std::vector<std::uint32_t>{5});
}

TEST(Clock, WaitForAChangeEndsOnTheWritersNotifyOrAfterOnePollOfABackendClock) {
    std::atomic<std::uint8_t> word{0};
    std::thread writer([&] {
        platform::sleepMs(30);
        word = 7;
        platform::announceChange(word);
    });
    platform::sleepUntilChanged(word, 0, 1);
    EXPECT_EQ(word, 7) << "the machine's clock waits for the change, not for the poll";
    writer.join();

    platform::VirtualClock clock(100);
    platform::useClock(&clock);
    word = 0;
    platform::sleepUntilChanged(word, 0, 1);
    EXPECT_EQ(platform::tickCount(), 101u) << "a backend clock sleeps one poll";
    platform::useClock(nullptr);
}

} // namespace
