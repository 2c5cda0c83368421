// The record the game thread and the window thread share. It depends on nothing of ours but
// forward declarations, so the runtime can read the key latch without an include cycle.
//
// Shared words are atomic: the window thread publishes `handle` before it raises `ready`, stores
// key-downs in `lastKey`; the game thread waits for `ready` and takes `lastKey` (readLastKey).
#pragma once

#include <atomic>
#include <cstdint>

namespace platform {
class WindowHost;
}

struct PromptWindow {
    std::atomic<platform::WindowHost*> handle{nullptr};
    std::atomic<std::int32_t> ready{0};
    std::atomic<std::uint8_t> lastKey{0};
};

inline PromptWindow promptWindow;
