// The size arithmetic every window host shares. The game sizes its window as Win32 would, by the
// outer rectangle of a classic frame (kFrameExtra*, window_host.h); each host gives the game the
// client area that frame would leave, and lets its own system draw whatever frame it draws.
// Any thread; no state.
#pragma once

#include "platform/bitmap.h"

#include <mutex>

namespace platform {

// Bounds what a caller's outer size can make the client pixels cost.
inline constexpr int kMaxClientSide = 16384;

struct ClientSize {
    int width = 0;
    int height = 0;
};

// Each side brought to 1 … kMaxClientSide.
ClientSize boundedClientSize(int width, int height);
// The client area inside an outer size given to setPosition, bounded as above.
ClientSize clientSizeForOuter(int outerWidth, int outerHeight);
// Gives `pixels` the size (a new, black picture) unless it has it already, under `displayLock`.
void resizeClientPixels(std::mutex& displayLock, Bitmap& pixels, ClientSize size);

} // namespace platform
