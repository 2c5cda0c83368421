#include "platform/window_placement.h"

#include "platform/presentation_scale.h"

#include <algorithm>

namespace platform {

WindowPlacement placeWindow(const PlacementRequest& request, const FrameInsets& frame,
                            const ScreenRect& workArea) {
    const int frameWidth = frame.left + frame.right;
    const int frameHeight = frame.top + frame.bottom;
    int scale = std::clamp(
        request.wantedScale != 0 ? request.wantedScale : scaleForDpi(request.dpi), 1, kMaxScale);
    while (scale > 1 && (request.width * scale + frameWidth > workArea.right - workArea.left ||
                         request.height * scale + frameHeight > workArea.bottom - workArea.top)) {
        --scale;
    }
    return {scale,
            {request.left, request.top, request.left + request.width * scale + frameWidth,
             request.top + request.height * scale + frameHeight}};
}

ScreenRect centredOn(const ScreenRect& outer, const ScreenRect& suggested,
                     const ScreenRect& workArea) {
    // The start of a span of `size` centred on `centre`, within [low, high) as far as it fits.
    const auto start = [](int centre, int size, int low, int high) {
        return std::max(low, std::min(centre - size / 2, high - size));
    };
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int left = start(suggested.left + (suggested.right - suggested.left) / 2, width,
                           workArea.left, workArea.right);
    const int top = start(suggested.top + (suggested.bottom - suggested.top) / 2, height,
                          workArea.top, workArea.bottom);
    return {left, top, left + width, top + height};
}

} // namespace platform
