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
    const auto getState = reinterpret_cast<GetStateFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "XInputGetState")));
    if (getState != nullptr) {
        readSlot_ = [getState](int slot, std::uint16_t& buttons) {
            XINPUT_STATE state{};
            if (getState(static_cast<DWORD>(slot), &state) != ERROR_SUCCESS) {
                return false;
            }
            buttons = state.Gamepad.wButtons;
            return true;
        };
    }
}

XInputPads::~XInputPads() {
    if (library_ != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library_));
    }
}

bool XInputPads::find() {
    if (!readSlot_) {
        return false;
    }
    bool any = false;
    for (int slot = 0; slot < kSlots; ++slot) {
        std::uint16_t buttons = 0;
        const bool connected = readSlot_(slot, buttons);
        // A controller found now starts from what it holds: a button held while plugging in is
        // not a press.
        if (connected && !connected_[slot]) {
            buttons_[slot] = buttons;
        }
        connected_[slot] = connected;
        any = any || connected;
    }
    return any;
}

bool XInputPads::read(const std::function<void(std::uint32_t)>& keyDown) {
    bool any = false;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!connected_[slot]) {
            continue;
        }
        std::uint16_t buttons = 0;
        connected_[slot] = readSlot_(slot, buttons);
        if (!connected_[slot]) {
            continue;
        }
        any = true;
        for (const std::uint32_t key : keysPressed(buttons_[slot], buttons)) {
            keyDown(key);
        }
        buttons_[slot] = buttons;
    }
    return any;
}

} // namespace platform
