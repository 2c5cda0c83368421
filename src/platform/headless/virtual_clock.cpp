#include "platform/headless/virtual_clock.h"

namespace platform {

void VirtualClock::sleepMs(std::uint32_t ms) {
    if (beforeSleep_) {
        beforeSleep_(ms);
    }
    now_ += ms;
    if (afterSleep_) {
        afterSleep_(ms);
    }
}

} // namespace platform
