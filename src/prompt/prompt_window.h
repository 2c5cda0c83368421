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
struct Bitmap;
} // namespace platform

struct PromptWindow {
    std::atomic<platform::WindowHost*> handle{nullptr};
    std::atomic<std::int32_t> ready{0};
    std::atomic<std::uint8_t> lastKey{0};
    // The screen's size at start-up, and so the back buffer's.
    std::int32_t backBufferWidth = 0;
    std::int32_t backBufferHeight = 0;
    // The picture every paint is served from; null before WM_CREATE and after WM_DESTROY.
    // Read and written only under the window's display lock.
    platform::Bitmap* backBuffer = nullptr;
    // Height of a text row, from the window's 16-pixel fixed-pitch font.
    std::int32_t lineHeight = 0;
};

inline PromptWindow promptWindow;
