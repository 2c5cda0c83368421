#include "platform/win32/xinput_pads.h"

#include "platform/pad_keys.h"

#include <windows.h>

#include <xinput.h>

namespace platform {
namespace {

using GetStateFn = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

constexpr SystemPadButton<std::uint16_t> kXInputButtons[] = {
    {XINPUT_GAMEPAD_A, PadButton::South},     {XINPUT_GAMEPAD_B, PadButton::East},
    {XINPUT_GAMEPAD_X, PadButton::West},      {XINPUT_GAMEPAD_START, PadButton::Start},
    {XINPUT_GAMEPAD_DPAD_UP, PadButton::Up},  {XINPUT_GAMEPAD_DPAD_DOWN, PadButton::Down},
    {XINPUT_GAMEPAD_BACK, PadButton::Select},
};

} // namespace

std::vector<std::uint32_t> keysPressed(std::uint16_t before, std::uint16_t now) {
    std::vector<std::uint32_t> keys;
    const auto pressed = static_cast<std::uint16_t>(now & ~before);
    for (const SystemPadButton<std::uint16_t>& entry : kXInputButtons) {
        if ((pressed & entry.system) != 0) {
            keys.push_back(keyOfPadButton(entry.button));
        }
    }
    return keys;
}

XInputPads::XInputPads() {
    HMODULE library = LoadLibraryA("xinput1_4.dll");
    if (library == nullptr) {
        return;
    }
    library_ = library;
    getState_ = reinterpret_cast<void*>(GetProcAddress(library, "XInputGetState"));
}

XInputPads::~XInputPads() {
    if (library_ != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library_));
    }
}

bool XInputPads::find() {
    if (getState_ == nullptr) {
        return false;
    }
    const auto getState = reinterpret_cast<GetStateFn>(getState_);
    bool any = false;
    for (DWORD slot = 0; slot < kSlots; ++slot) {
        XINPUT_STATE state{};
        const bool connected = getState(slot, &state) == ERROR_SUCCESS;
        // A controller found now starts from what it holds: a button held while plugging in is
        // not a press.
        if (connected && !connected_[slot]) {
            buttons_[slot] = state.Gamepad.wButtons;
        }
        connected_[slot] = connected;
        any = any || connected;
    }
    return any;
}

bool XInputPads::read(const std::function<void(std::uint32_t)>& keyDown) {
    const auto getState = reinterpret_cast<GetStateFn>(getState_);
    bool any = false;
    for (DWORD slot = 0; slot < kSlots; ++slot) {
        if (!connected_[slot]) {
            continue;
        }
        XINPUT_STATE state{};
        connected_[slot] = getState(slot, &state) == ERROR_SUCCESS;
        if (!connected_[slot]) {
            continue;
        }
        any = true;
        for (const std::uint32_t key : keysPressed(buttons_[slot], state.Gamepad.wButtons)) {
            keyDown(key);
        }
        buttons_[slot] = state.Gamepad.wButtons;
    }
    return any;
}

} // namespace platform
