#include "runtime/frame_pacer.h"

#include "platform/clock.h"

void FramePacer::wait(std::uint32_t intervalMs) {
    const std::uint32_t target = deadline + intervalMs;
    const std::uint32_t now = platform::tickCount();
    if (now > target) {
        deadline = now;
        return;
    }
    deadline = target;
    platform::sleepMs(target - now);
}
