#include "platform/headless/virtual_clock.h"
#include "runtime/frame_pacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FramePacerTest : public ::testing::Test {
  protected:
    void start(std::uint32_t now, std::uint32_t deadline) {
        clock = std::make_unique<platform::VirtualClock>(now);
        sleeps.clear();
        clock->onBeforeSleep([this](std::uint32_t ms) { sleeps.push_back(ms); });
        platform::useClock(clock.get());
        FramePacer::deadline = deadline;
    }
    void TearDown() override { platform::useClock(nullptr); }

    std::unique_ptr<platform::VirtualClock> clock;
    std::vector<std::uint32_t> sleeps;
};

TEST_F(FramePacerTest, FirstCallIsLateAndOnlySetsTheSchedule) {
    start(5000, 0);
    FramePacer::wait(17);
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(FramePacer::deadline, 5000u);
}

TEST_F(FramePacerTest, SleepsToTheNextTickOfTheSchedule) {
    start(1005, 1000);
    FramePacer::wait(17);
    EXPECT_EQ(sleeps, std::vector<std::uint32_t>{12});
    EXPECT_EQ(FramePacer::deadline, 1017u);
    EXPECT_EQ(clock->tickCount(), 1017u);

    FramePacer::wait(17);
    EXPECT_EQ(sleeps.back(), 17u) << "an on-time frame gets the whole period";
}

TEST_F(FramePacerTest, ExactlyOnTimeSleepsZero) {
    start(1017, 1000);
    FramePacer::wait(17);
    EXPECT_EQ(sleeps, std::vector<std::uint32_t>{0});
    EXPECT_EQ(FramePacer::deadline, 1017u);
}

TEST_F(FramePacerTest, LateFrameRestartsTheScheduleFromNow) {
    start(1030, 1000);
    FramePacer::wait(17);
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(FramePacer::deadline, 1030u);
    FramePacer::wait(17);
    EXPECT_EQ(sleeps, std::vector<std::uint32_t>{17});
    EXPECT_EQ(FramePacer::deadline, 1047u);
}

TEST_F(FramePacerTest, RunsStraightThroughTheTickCountsWrap) {
    start(0xFFFFFFF5u, 0xFFFFFFF0u); // target wraps to 1, now has not wrapped yet
    for (int frame = 0; frame < 4; ++frame) {
        FramePacer::wait(17);
    }
    EXPECT_EQ(sleeps, (std::vector<std::uint32_t>{12, 17, 17, 17}));
    EXPECT_EQ(FramePacer::deadline, 52u);
    EXPECT_EQ(clock->tickCount(), 52u);

    start(4, 0xFFFFFFF0u); // late by 3 across the wrap
    FramePacer::wait(17);
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(FramePacer::deadline, 4u);
}

TEST_F(FramePacerTest, ADeadlineFarAheadIsNoScheduleAndRestartsIt) {
    // A first call at a tick count more than 2^31 past 0 is late, not 24 days early.
    for (const std::uint32_t now : {0x80000011u, 0x80000012u, 0xFFFFFFFFu}) {
        start(now, 0);
        FramePacer::wait(17);
        EXPECT_TRUE(sleeps.empty()) << now;
        EXPECT_EQ(FramePacer::deadline, now);
    }
    start(3, 0); // still within the first interval of the tick count: waits for 17 as scheduled
    FramePacer::wait(17);
    EXPECT_EQ(sleeps, std::vector<std::uint32_t>{14});
}

} // namespace
