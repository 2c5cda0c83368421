#include "platform/win32/xinput_pads.h"

#include <windows.h>

#include <xinput.h>

#include <gtest/gtest.h>

namespace {

TEST(XInputPads, NewPressesAreTheKeysOfTheSameMoves) {
    const struct {
        std::uint16_t before;
        std::uint16_t now;
        std::vector<std::uint32_t> keys;
    } rows[] = {
        {0, XINPUT_GAMEPAD_A, {'Z'}},
        {0, XINPUT_GAMEPAD_X, {'X'}},
        {0, XINPUT_GAMEPAD_B, {'E'}},
        {0, XINPUT_GAMEPAD_START, {13}},
        {0, XINPUT_GAMEPAD_DPAD_UP | XINPUT_GAMEPAD_DPAD_DOWN, {'X', 'X'}},
        {XINPUT_GAMEPAD_A, XINPUT_GAMEPAD_A, {}},
        {XINPUT_GAMEPAD_A, XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_X, {'X'}},
        {XINPUT_GAMEPAD_X, 0, {}},
        {0, XINPUT_GAMEPAD_Y | XINPUT_GAMEPAD_BACK | XINPUT_GAMEPAD_LEFT_SHOULDER, {'M'}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(platform::keysPressed(row.before, row.now), row.keys)
            << "buttons " << row.before << " then " << row.now;
    }
}

TEST(XInputPads, AButtonHeldWhilePluggingInIsNoPress) {
    bool connected = false;
    std::uint16_t held = XINPUT_GAMEPAD_A;
    platform::XInputPads pads(
        [&](int slot, std::uint16_t& buttons) { return buttons = held, slot == 0 && connected; });
    std::vector<std::uint32_t> keys;
    const auto keyDown = [&](std::uint32_t key) { keys.push_back(key); };
    EXPECT_FALSE(pads.find());
    connected = true;
    EXPECT_TRUE(pads.find() && pads.read(keyDown));
    held = 0;
    pads.read(keyDown);
    held = XINPUT_GAMEPAD_A;
    pads.read(keyDown);
    EXPECT_EQ(keys, std::vector<std::uint32_t>{'Z'});
}

} // namespace
