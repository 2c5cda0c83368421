#include "platform/window_frame.h"

#include "platform/window_host.h"

#include <algorithm>

namespace platform {

ClientSize boundedClientSize(int width, int height) {
    return {std::clamp(width, 1, kMaxClientSide), std::clamp(height, 1, kMaxClientSide)};
}

ClientSize clientSizeForOuter(int outerWidth, int outerHeight) {
    // In 64 bits: an outer size near INT_MIN must not wrap round into a large client.
    const auto inside = [](int outer, int extra) {
        return static_cast<int>(
            std::clamp<long long>(static_cast<long long>(outer) - extra, 1, kMaxClientSide));
    };
    return {inside(outerWidth, kFrameExtraWidth), inside(outerHeight, kFrameExtraHeight)};
}

void resizeClientPixels(std::mutex& displayLock, Bitmap& pixels, ClientSize size) {
    std::lock_guard guard(displayLock);
    if (pixels.width != size.width || pixels.height != size.height) {
        pixels = Bitmap(size.width, size.height);
    }
}

} // namespace platform
