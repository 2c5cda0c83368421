// A clock that only moves when the game sleeps: every sleepMs(n) advances it by exactly n.
//
// Tests and the simulator install one with platform::useClock() to run whole games
// deterministically and much faster than real time. Single-threaded: the game thread only.
#pragma once

#include "platform/clock.h"

#include <functional>

namespace platform {

class VirtualClock final : public ClockBackend {
  public:
    // Called before a sleep of `ms` moves the clock; it may throw to stop the game thread at
    // that point (the clock then stays where it was).
    using BeforeSleep = std::function<void(std::uint32_t ms)>;
    // Called after every sleep of `ms`, for instance to deliver scripted keys.
    using AfterSleep = std::function<void(std::uint32_t ms)>;

    explicit VirtualClock(std::uint32_t start) : now_(start) {}

    std::uint32_t tickCount() override { return now_; }
    void sleepMs(std::uint32_t ms) override;

    void onBeforeSleep(BeforeSleep hook) { beforeSleep_ = std::move(hook); }
    void onAfterSleep(AfterSleep hook) { afterSleep_ = std::move(hook); }

  private:
    std::uint32_t now_;
    BeforeSleep beforeSleep_;
    AfterSleep afterSleep_;
};

} // namespace platform
