// The desktop game in its real window with a virtual controller, for the bench of the title with
// a controller connected and the desktop test of controllers. The first line on standard input
// plugs the controller in; each line after it that names a button ("south", "east", "west",
// "start", "up", "down") presses it and lets it go. The best score is neither read nor written.
#include "app/startup.h"
#include "platform/posix/termination_signals.h"
#include "platform/process_setup.h"
#include "platform/sdl/sdl_window_host.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <thread>

namespace {

const std::map<std::string, SDL_GameControllerButton> kButtons{
    {"south", SDL_CONTROLLER_BUTTON_A},    {"east", SDL_CONTROLLER_BUTTON_B},
    {"west", SDL_CONTROLLER_BUTTON_X},     {"start", SDL_CONTROLLER_BUTTON_START},
    {"up", SDL_CONTROLLER_BUTTON_DPAD_UP}, {"down", SDL_CONTROLLER_BUTTON_DPAD_DOWN},
};

// Long enough for the window thread to read the press before the button is let go.
constexpr auto kHeld = std::chrono::milliseconds(60);

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "pad-driver: %s: %s\n", what, SDL_GetError());
    std::_Exit(1);
}

void pressButtons(platform::SdlWindowHost& window) {
    SDL_Joystick* pad = nullptr;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (pad == nullptr) {
            SDL_VirtualJoystickDesc desc{};
            desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
            desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
            desc.naxes = SDL_CONTROLLER_AXIS_MAX;
            desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
            desc.name = "virtual pad";
            const int index = SDL_JoystickAttachVirtualEx(&desc);
            if (index < 0 || (pad = SDL_JoystickOpen(index)) == nullptr) {
                fail("cannot plug in a virtual controller");
            }
            std::this_thread::sleep_for(kHeld);
        }
        const auto button = kButtons.find(line);
        if (button == kButtons.end()) {
            continue;
        }
        for (const Uint8 state : {SDL_PRESSED, SDL_RELEASED}) {
            if (SDL_JoystickSetVirtualButton(pad, button->second, state) != 0) {
                fail("cannot press the virtual controller");
            }
            window.controllersStirred();
            std::this_thread::sleep_for(kHeld);
        }
    }
}

} // namespace

int main() {
    platform::prepareProcess();
    platform::endOnTerminationSignals();
    // SDL's event and joystick locks are made here, before the threads that share them start;
    // the signals stay the termination thread's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        fail("cannot start SDL's joysticks");
    }
    platform::SdlWindowHost window;
    std::thread(pressButtons, std::ref(window)).detach();
    startGame(window);
}
