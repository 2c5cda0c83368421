#include "runtime/frame_pacer.h"

#include "platform/clock.h"

void FramePacer::wait(std::uint32_t intervalMs) {
    const std::uint32_t target = deadline + intervalMs;
    const std::uint32_t now = platform::tickCount();
    // Measured modulo 2^32, so the schedule runs straight through the tick count's wrap. A late
    // frame wraps the difference round to a huge number. A target more than one interval ahead
    // is no schedule of ours either (the first call, the deadline still 0): it restarts the
    // schedule as well, where a signed comparison would sleep for up to 24 days.
    const std::uint32_t ahead = target - now;
    if (ahead > intervalMs) {
        deadline = now;
        return;
    }
    deadline = target;
    platform::sleepMs(ahead);
}
