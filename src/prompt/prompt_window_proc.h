// The prompt window's procedure: the back buffer, the key latch and the ready flag.
//
// The window host calls it on the window thread for every message. WM_CREATE makes the
// screen-sized back buffer (black) and publishes it in promptWindow.backBuffer; WM_PAINT copies
// it to the client pixels, lays the text layer over it, asks for a present and raises
// promptWindow.ready; WM_KEYDOWN stores the key's low byte in promptWindow.lastKey; WM_DESTROY
// frees the back buffer and posts the quit message. Everything else goes to the host's default
// handling, whose result is returned.
//
// Locks: the display lock, and inside it TextScreen::lock while painting.
#pragma once

#include "platform/window_host.h"

#include <cstdint>

std::int32_t promptWindowProc(platform::WindowHost& window, std::uint32_t message,
                              std::uint32_t wParam, std::int32_t lParam);
