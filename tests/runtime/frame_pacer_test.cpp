#include "platform/virtual_clock.h"
#include "runtime/frame_pacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FramePacerTest : public ::testing::Test {
  protected:
    void start(std::uint32_t now, std::uint32_t deadline) {
        clock = std::make_unique<platform::VirtualClock>(now);
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

TEST_F(FramePacerTest, TargetWrappingPastTheTickCountsEndRunsTheFrameAtOnce) {
    start(0xFFFFFFF5u, 0xFFFFFFF0u); // target wraps to 1, now has not wrapped yet
    FramePacer::wait(17);
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(FramePacer::deadline, 0xFFFFFFF5u);

    start(2, 0xFFFFFFF5u); // once now has wrapped as well, the schedule holds again
    FramePacer::wait(17);
    EXPECT_EQ(sleeps, std::vector<std::uint32_t>{4});
    EXPECT_EQ(FramePacer::deadline, 6u);
}

} // namespace
