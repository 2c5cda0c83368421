// Where a host whose system draws the frame at each monitor's DPI (Win32) puts the window: the
// game's client area, shown a whole number of times larger, with the frame around it and the
// frame's top-left corner where the game (or the system, on a DPI change) puts it.
//
// Pure arithmetic over what the system tells (the DPI, the frame at that DPI, the monitor's work
// area), so every system's tests run it. Any thread.
#pragma once

namespace platform {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// What the frame adds on each side of the client area, as AdjustWindowRectExForDpi tells it for
// an empty client rectangle (its left and top negated).
struct FrameInsets {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct WindowPlacement {
    int scale = 1;
    // The frame's outer rectangle; the client inside it is exactly width × height × scale.
    ScreenRect outer;
};

struct PlacementRequest {
    int left = 0; // the frame's top-left corner
    int top = 0;
    int width = 0; // the client area in the game's pixels
    int height = 0;
    int wantedScale = 0; // the player's (--scale), or 0 to follow the DPI
    int dpi = 96;
};

// The wanted scale (else scaleForDpi), lowered until the outer rectangle's size fits the work
// area; at least 1.
WindowPlacement placeWindow(const PlacementRequest& request, const FrameInsets& frame,
                            const ScreenRect& workArea);

// On a DPI change: `outer` moved so that its centre is the centre of the rectangle the system
// suggests, then into the work area of the monitor the system chose (its left and top edges when
// it is larger). Placed at the suggested corner instead, a window that shrinks going to a lower
// DPI could land on the monitor it came from, whose DPI the system would then follow back.
ScreenRect centredOn(const ScreenRect& outer, const ScreenRect& suggested,
                     const ScreenRect& workArea);

} // namespace platform
