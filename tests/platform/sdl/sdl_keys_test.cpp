#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_pads.h"

#include "platform/window_host.h"

#include <gtest/gtest.h>

namespace {

using platform::keyDownMessage;
using platform::virtualKeyOf;

TEST(SdlKeys, LettersGiveTheirUpperCaseCodeWhateverShiftSays) {
    EXPECT_EQ(virtualKeyOf(SDLK_x, SDL_SCANCODE_X), 0x58u);
    EXPECT_EQ(virtualKeyOf(SDLK_z, SDL_SCANCODE_Z), 0x5Au);
    EXPECT_EQ(virtualKeyOf(SDLK_e, SDL_SCANCODE_E), 0x45u);
    EXPECT_EQ(virtualKeyOf(SDLK_a, SDL_SCANCODE_A), 0x41u);
    EXPECT_EQ(keyDownMessage(0x58, KMOD_LSHIFT), platform::WM_KEYDOWN);
    EXPECT_EQ(keyDownMessage(0x58, KMOD_RSHIFT | KMOD_CAPS), platform::WM_KEYDOWN);
    // A Cyrillic layout: the key at X's place types a letter of its own.
    EXPECT_EQ(virtualKeyOf(0x0447, SDL_SCANCODE_X), 0x58u);
    // A layout whose digit row types symbols without Shift.
    EXPECT_EQ(virtualKeyOf('&', SDL_SCANCODE_1), 0x31u);
}

TEST(SdlKeys, OtherKeysGiveTheirUsualCodes) {
    EXPECT_EQ(virtualKeyOf(SDLK_0, SDL_SCANCODE_0), 0x30u);
    EXPECT_EQ(virtualKeyOf(SDLK_9, SDL_SCANCODE_9), 0x39u);
    EXPECT_EQ(virtualKeyOf(SDLK_RETURN, SDL_SCANCODE_RETURN), 13u);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER), 13u);
    EXPECT_EQ(virtualKeyOf(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), 16u);
    EXPECT_EQ(virtualKeyOf(SDLK_RSHIFT, SDL_SCANCODE_RSHIFT), 16u);
    EXPECT_EQ(virtualKeyOf(SDLK_LCTRL, SDL_SCANCODE_LCTRL), 17u);
    EXPECT_EQ(virtualKeyOf(SDLK_RCTRL, SDL_SCANCODE_RCTRL), 17u);
    EXPECT_EQ(virtualKeyOf(SDLK_LALT, SDL_SCANCODE_LALT), 18u);
    EXPECT_EQ(virtualKeyOf(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), 27u);
    EXPECT_EQ(virtualKeyOf(SDLK_SPACE, SDL_SCANCODE_SPACE), 32u);
    EXPECT_EQ(virtualKeyOf(SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE), 8u);
    EXPECT_EQ(virtualKeyOf(SDLK_TAB, SDL_SCANCODE_TAB), 9u);
    EXPECT_EQ(virtualKeyOf(SDLK_LEFT, SDL_SCANCODE_LEFT), 37u);
    EXPECT_EQ(virtualKeyOf(SDLK_UP, SDL_SCANCODE_UP), 38u);
    EXPECT_EQ(virtualKeyOf(SDLK_RIGHT, SDL_SCANCODE_RIGHT), 39u);
    EXPECT_EQ(virtualKeyOf(SDLK_DOWN, SDL_SCANCODE_DOWN), 40u);
    EXPECT_EQ(virtualKeyOf(SDLK_F1, SDL_SCANCODE_F1), 0x70u);
    EXPECT_EQ(virtualKeyOf(SDLK_F12, SDL_SCANCODE_F12), 0x7Bu);
    EXPECT_EQ(virtualKeyOf(SDLK_F13, SDL_SCANCODE_F13), 0x7Cu);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_0, SDL_SCANCODE_KP_0), 0x60u);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_1, SDL_SCANCODE_KP_1), 0x61u);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_9, SDL_SCANCODE_KP_9), 0x69u);
    EXPECT_EQ(virtualKeyOf(SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON), 0xBAu);
    EXPECT_EQ(virtualKeyOf(SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE), 0xDEu);
    EXPECT_EQ(keyDownMessage(13, KMOD_NONE), platform::WM_KEYDOWN);
    EXPECT_EQ(keyDownMessage(17, KMOD_LCTRL), platform::WM_KEYDOWN);
}

TEST(SdlKeys, AltAndF10AreTheSystemsKeys) {
    EXPECT_EQ(keyDownMessage(0x58, KMOD_LALT), platform::WM_SYSKEYDOWN);
    EXPECT_EQ(keyDownMessage(0x5A, KMOD_RALT | KMOD_SHIFT), platform::WM_SYSKEYDOWN);
    EXPECT_EQ(keyDownMessage(0x79, KMOD_NONE), platform::WM_SYSKEYDOWN) << "F10";
    EXPECT_EQ(keyDownMessage(18, KMOD_NONE), platform::WM_SYSKEYDOWN) << "Alt itself";
    EXPECT_EQ(keyDownMessage(0x78, KMOD_NONE), platform::WM_KEYDOWN) << "F9";
}

TEST(SdlKeys, KeysWithoutAVirtualKeyCodeGiveZero) {
    EXPECT_EQ(virtualKeyOf(SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY), 0u);
    EXPECT_EQ(virtualKeyOf(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), 0u);
}

TEST(SdlKeys, ControllerButtonsAreTheKeysOfTheSameMoves) {
    const struct {
        SDL_GameControllerButton button;
        std::uint32_t key;
    } rows[] = {
        {SDL_CONTROLLER_BUTTON_A, 'Z'},       {SDL_CONTROLLER_BUTTON_X, 'X'},
        {SDL_CONTROLLER_BUTTON_B, 'E'},       {SDL_CONTROLLER_BUTTON_START, 13},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 'X'}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 'X'},
        {SDL_CONTROLLER_BUTTON_Y, 0},         {SDL_CONTROLLER_BUTTON_BACK, 'M'},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0}, {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(platform::keyOfControllerButton(row.button), row.key) << "button " << row.button;
    }
}

} // namespace
