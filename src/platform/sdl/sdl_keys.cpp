#include "platform/sdl/sdl_keys.h"

#include "platform/window_host.h"

namespace platform {
namespace {

struct NamedKey {
    SDL_Keycode key;
    std::uint32_t virtualKey;
};

constexpr NamedKey kNamedKeys[] = {
    {SDLK_BACKSPACE, 0x08},    {SDLK_TAB, 0x09},          {SDLK_RETURN, 0x0D},
    {SDLK_KP_ENTER, 0x0D},     {SDLK_LSHIFT, 0x10},       {SDLK_RSHIFT, 0x10},
    {SDLK_LCTRL, 0x11},        {SDLK_RCTRL, 0x11},        {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},      {SDLK_PAUSE, 0x13},        {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, 0x1B},       {SDLK_SPACE, 0x20},        {SDLK_PAGEUP, 0x21},
    {SDLK_PAGEDOWN, 0x22},     {SDLK_END, 0x23},          {SDLK_HOME, 0x24},
    {SDLK_LEFT, 0x25},         {SDLK_UP, 0x26},           {SDLK_RIGHT, 0x27},
    {SDLK_DOWN, 0x28},         {SDLK_PRINTSCREEN, 0x2C},  {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, 0x2E},       {SDLK_LGUI, 0x5B},         {SDLK_RGUI, 0x5C},
    {SDLK_APPLICATION, 0x5D},  {SDLK_KP_0, 0x60},         {SDLK_KP_MULTIPLY, 0x6A},
    {SDLK_KP_PLUS, 0x6B},      {SDLK_KP_MINUS, 0x6D},     {SDLK_KP_PERIOD, 0x6E},
    {SDLK_KP_DIVIDE, 0x6F},    {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91},
    {SDLK_SEMICOLON, 0xBA},    {SDLK_EQUALS, 0xBB},       {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},        {SDLK_PERIOD, 0xBE},       {SDLK_SLASH, 0xBF},
    {SDLK_BACKQUOTE, 0xC0},    {SDLK_LEFTBRACKET, 0xDB},  {SDLK_BACKSLASH, 0xDC},
    {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};

std::uint32_t namedKey(SDL_Keycode key) {
    for (const NamedKey& named : kNamedKeys) {
        if (named.key == key) {
            return named.virtualKey;
        }
    }
    return 0;
}

} // namespace

std::uint32_t virtualKeyOf(SDL_Keycode key, SDL_Scancode scancode) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<std::uint32_t>(key - SDLK_a) + 'A';
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<std::uint32_t>(key);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<std::uint32_t>(key - SDLK_F1) + 0x70;
    }
    if (key >= SDLK_F13 && key <= SDLK_F24) {
        return static_cast<std::uint32_t>(key - SDLK_F13) + 0x7C;
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return static_cast<std::uint32_t>(key - SDLK_KP_1) + 0x61;
    }
    if (const std::uint32_t named = namedKey(key); named != 0) {
        return named;
    }
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return static_cast<std::uint32_t>(scancode - SDL_SCANCODE_A) + 'A';
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return static_cast<std::uint32_t>(scancode - SDL_SCANCODE_1) + '1';
    }
    if (scancode == SDL_SCANCODE_0) {
        return '0';
    }
    return 0;
}

std::uint32_t keyDownMessage(std::uint32_t virtualKey, std::uint16_t modifiers) {
    if ((modifiers & KMOD_ALT) != 0 || virtualKey == VK_MENU || virtualKey == VK_F10) {
        return WM_SYSKEYDOWN;
    }
    return WM_KEYDOWN;
}

} // namespace platform
