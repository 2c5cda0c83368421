#include "platform/sdl/sdl_pads.h"

#include "platform/pad_keys.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace platform {
namespace {

constexpr SystemPadButton<SDL_GameControllerButton> kControllerButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, PadButton::South},
    {SDL_CONTROLLER_BUTTON_B, PadButton::East},
    {SDL_CONTROLLER_BUTTON_X, PadButton::West},
    {SDL_CONTROLLER_BUTTON_START, PadButton::Start},
    {SDL_CONTROLLER_BUTTON_BACK, PadButton::Select},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadButton::Up},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButton::Down},
};

} // namespace

std::uint32_t keyOfControllerButton(SDL_GameControllerButton button) {
    return keyOfSystemButton(kControllerButtons, button);
}

SdlPads::SdlPads(const std::function<void()>& wake) {
    // The host updates the controllers when the watch says they have something; SDL's own
    // updating would wake the window thread every millisecond while one is plugged in.
    SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
    // SDL's own readers of raw reports take pads many of which report hundreds of times a
    // second whether touched or not; the system's event devices report changes only.
    SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
    // Buttons by place, not label: south fires whoever made the pad.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "kestrilon: controllers are off: %s\n", SDL_GetError());
        return;
    }
    // Without its watch nothing would ever read them: no controllers rather than dead ones.
    watch_.emplace(wake);
    if (!watch_->problem().empty()) {
        std::fprintf(stderr, "kestrilon: controllers are off: %s\n", watch_->problem().c_str());
        watch_.reset();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        return;
    }
    started_ = true;
}

SdlPads::~SdlPads() {
    watch_.reset();
    for (SDL_GameController* controller : controllers_) {
        SDL_GameControllerClose(controller);
    }
    if (started_) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
}

void SdlPads::update() {
    if (started_) {
        SDL_GameControllerUpdate();
    }
}

bool SdlPads::translate(const SDL_Event& event, WindowMessage& message) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
            controller != nullptr) {
            // Opened already: SDL counts each opening, and one is enough.
            if (std::find(controllers_.begin(), controllers_.end(), controller) !=
                controllers_.end()) {
                SDL_GameControllerClose(controller);
                return false;
            }
            controllers_.push_back(controller);
            watchOpenControllers();
        }
        return false;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (SDL_GameController* controller = SDL_GameControllerFromInstanceID(event.cdevice.which);
            controller != nullptr) {
            std::erase(controllers_, controller);
            SDL_GameControllerClose(controller);
            watchOpenControllers();
        }
        return false;
    case SDL_CONTROLLERBUTTONDOWN: {
        const std::uint32_t key =
            keyOfControllerButton(static_cast<SDL_GameControllerButton>(event.cbutton.button));
        if (key == 0) {
            return false;
        }
        message = {WM_KEYDOWN, key, 1};
        return true;
    }
    default:
        return false;
    }
}

void SdlPads::watchOpenControllers() {
    std::vector<std::string> paths;
    for (SDL_GameController* controller : controllers_) {
        // A virtual controller has no node: whoever presses its buttons wakes the host.
        if (const char* path = SDL_GameControllerPath(controller); path != nullptr && *path != 0) {
            paths.emplace_back(path);
        }
    }
    watch_->watch(std::move(paths));
}

} // namespace platform
