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

} // namespace platform
