#include "platform/web/web_pads.h"

#include "platform/pad_keys.h"
#include "platform/web/web_window_host.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {
namespace {

// The "standard" layout's button numbers.
constexpr SystemPadButton<int> kStandardButtons[] = {
    {0, PadButton::South}, {1, PadButton::East},  {2, PadButton::West},   {9, PadButton::Start},
    {12, PadButton::Up},   {13, PadButton::Down}, {8, PadButton::Select},
};

WebWindowHost* padWindow = nullptr;
int connected = 0;
bool reading = false;
// The buttons each pad held at the last frame, one bit per standard button number.
std::vector<std::uint32_t> held;

// clang-format off
EM_JS(void, pageShowPad, (int shown), {
    if (shown) {
        document.documentElement.dataset.pad = "";
    } else {
        delete document.documentElement.dataset.pad;
    }
});
// clang-format on

std::uint32_t buttonsOf(const EmscriptenGamepadEvent& pad) {
    std::uint32_t buttons = 0;
    for (const SystemPadButton<int>& entry : kStandardButtons) {
        if (entry.system < pad.numButtons && pad.digitalButton[entry.system]) {
            buttons |= 1u << entry.system;
        }
    }
    return buttons;
}

EM_BOOL readPads(double, void*) {
    reading = connected > 0 && emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS;
    if (!reading) {
        return EM_FALSE;
    }
    const int count = emscripten_get_num_gamepads();
    held.resize(static_cast<std::size_t>(std::max(count, 0)));
    for (int index = 0; index < count; ++index) {
        EmscriptenGamepadEvent pad{};
        if (emscripten_get_gamepad_status(index, &pad) != EMSCRIPTEN_RESULT_SUCCESS ||
            !pad.connected || std::strcmp(pad.mapping, "standard") != 0) {
            held[index] = 0;
            continue;
        }
        const std::uint32_t buttons = buttonsOf(pad);
        for (const SystemPadButton<int>& entry : kStandardButtons) {
            if ((buttons & ~held[index] & (1u << entry.system)) != 0) {
                padWindow->keyDown(keyOfSystemButton(kStandardButtons, entry.system), false);
            }
        }
        held[index] = buttons;
    }
    return EM_TRUE;
}

// A browser announces a pad when one of its buttons is first pressed: that press counts, so the
// Start that woke the pad also starts the game.
EM_BOOL padConnected(int, const EmscriptenGamepadEvent*, void*) {
    ++connected;
    pageShowPad(1);
    if (!reading) {
        reading = true;
        emscripten_request_animation_frame_loop(readPads, nullptr);
    }
    return EM_TRUE;
}

EM_BOOL padDisconnected(int, const EmscriptenGamepadEvent*, void*) {
    connected = std::max(connected - 1, 0);
    if (connected == 0) {
        pageShowPad(0);
    }
    return EM_TRUE;
}

} // namespace

void readPadsInto(WebWindowHost& window) {
    padWindow = &window;
    emscripten_set_gamepadconnected_callback(nullptr, EM_TRUE, padConnected);
    emscripten_set_gamepaddisconnected_callback(nullptr, EM_TRUE, padDisconnected);
}

} // namespace platform
