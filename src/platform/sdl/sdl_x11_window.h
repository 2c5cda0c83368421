// What the SDL window host asks of X11 itself, where SDL has no call for it: which window
// functions the window manager offers, the desktop's Xft.dpi, and the window manager's frame.
//
// Window thread only, on windows SDL made. Off X11 (Wayland, KMS) each does nothing and answers
// "unknown".
#pragma once

#include <cstdint>

struct SDL_Window;
struct SDL_SysWMmsg;

namespace platform {

// Tells the window manager (Motif hints) to offer moving and closing the window, and minimising,
// maximising and resizing only where the Win32 style has the box or frame for it.
void offerWindowFunctions(SDL_Window* window, std::uint32_t style);

// The Xft.dpi of the desktop's X resources; 0 when unknown.
int desktopDpi(SDL_Window* window);

// Whether an X event is the window manager setting or changing the frame around a window.
bool isFrameChange(const SDL_SysWMmsg& message);

} // namespace platform
