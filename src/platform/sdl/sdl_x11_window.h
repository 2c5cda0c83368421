// What the SDL window host asks of X11 itself, where SDL has no call for it: which window
// functions the window manager offers, the desktop's Xft.dpi, the window manager's frame, and
// the window destroyed by another client.
//
// Window thread only, on windows SDL made. Off X11 (Wayland, KMS) each does nothing and answers
// "unknown".
#pragma once

#include <cstdint>

struct SDL_Window;
struct SDL_SysWMmsg;

namespace platform {

// Before SDL starts its video: makes the X screen that DISPLAY names (":0.1") the one SDL opens
// the window on and measures. Unless an output is marked primary, SDL would list screen 0's
// outputs first and open the window there, whatever screen was named; without XRandR it knows
// the named screen alone.
void useScreenOfDisplayName();

// Tells the window manager (Motif hints) to offer moving and closing the window, and minimising,
// maximising and resizing only where the Win32 style has the box or frame for it.
void offerWindowFunctions(SDL_Window* window, std::uint32_t style);

// The Xft.dpi of the desktop's X resources; 0 when unknown.
int desktopDpi(SDL_Window* window);

// Whether an X event is the window manager setting or changing the frame around a window.
bool isFrameChange(const SDL_SysWMmsg& message);

// Whether an X event says that another client destroyed the window.
bool isWindowDestroyed(const SDL_SysWMmsg& message, SDL_Window* window);

// From now on X errors about a window that is not there (another client destroyed the game's)
// are passed over, where Xlib would print them and end the process with exit code 1; others go
// on to the handler there was. Window thread.
void passOverErrorsOfGoneWindow();

} // namespace platform
