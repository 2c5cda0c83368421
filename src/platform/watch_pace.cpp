#include "platform/watch_pace.h"

#include <atomic>

namespace platform {
namespace {

// 0 while no replay plays back, else its pace.
std::atomic<std::uint32_t> watching{0};

} // namespace

void startWatching(std::uint32_t pace) {
    watching = pace;
}

void stopWatching() {
    watching = 0;
}

bool takePaceKey(std::uint32_t virtualKey) {
    if (virtualKey != '1' && virtualKey != '2' && virtualKey != '4') {
        return false;
    }
    std::uint32_t current = watching.load();
    // Exchanged only while the replay still plays: its end always wins.
    do {
        if (current == 0) {
            return false;
        }
    } while (!watching.compare_exchange_weak(current, virtualKey - '0'));
    return true;
}

std::uint32_t watchPace() {
    const std::uint32_t pace = watching.load();
    return pace == 0 ? 1 : pace;
}

} // namespace platform
