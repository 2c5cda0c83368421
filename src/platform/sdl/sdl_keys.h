// How the SDL backend turns SDL's key-downs into the virtual-key codes the game reads.
//
// Pure functions, used by the SDL window host on the window thread and by its tests. Only
// backend code includes this header: it names SDL's key types.
#pragma once

#include <SDL_keyboard.h>

#include <cstdint>

namespace platform {

inline constexpr std::uint32_t VK_MENU = 0x12; // either Alt key
inline constexpr std::uint32_t VK_F10 = 0x79;

// The Win32 virtual-key code of a key, 0 for a key that has none. Letters give their upper-case
// code whatever Shift says; on layouts without Latin letters a letter or digit key gives the
// code of its position, as on Win32.
std::uint32_t virtualKeyOf(SDL_Keycode key, SDL_Scancode scancode);

// The message a key-down of `virtualKey` becomes: WM_SYSKEYDOWN for Alt, for keys held with Alt
// and for F10 (the system keeps those for its menu), WM_KEYDOWN for every other key.
std::uint32_t keyDownMessage(std::uint32_t virtualKey, std::uint16_t modifiers);

} // namespace platform
