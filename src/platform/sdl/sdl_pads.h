// Controllers for the SDL window host, through SDL's GameController API and its mapping
// database: every controller plugged in, before the game starts or while it runs, is opened,
// and a press of one of its buttons becomes the key-down pad_keys.h names.
//
// SDL does not look at the controllers by itself (it would every millisecond while one is
// open): SdlPadWatch tells when they have something, and the host then calls update() on its
// window thread. Without a controller this costs nothing; with one left untouched, nothing
// either. Where the watch cannot run, the controllers are off, said once on stderr, and the
// keyboard plays alone.
//
// Threads: the window thread makes, uses and destroys it, after SDL's video has started and
// before SDL_Quit. `wake` may be called from the watch's thread. Only backend code includes this
// header: it names SDL's types.
#pragma once

#include "platform/sdl/sdl_pad_watch.h"
#include "platform/window_host.h"

#include <SDL_gamecontroller.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

union SDL_Event;

namespace platform {

// The key a controller's button stands for, 0 for a button the game has no use for.
std::uint32_t keyOfControllerButton(SDL_GameControllerButton button);

class SdlPads {
  public:
    // `wake`: a controller has something to read; the window thread should call update() soon.
    explicit SdlPads(const std::function<void()>& wake);
    ~SdlPads();
    SdlPads(const SdlPads&) = delete;
    SdlPads& operator=(const SdlPads&) = delete;

    // Reads the controllers: their presses, and those plugged in or out, come as SDL events.
    void update();
    // A controller's event as the message it makes: true for a key-down to hand on.
    bool translate(const SDL_Event& event, WindowMessage& message);

  private:
    void watchOpenControllers();

    bool started_ = false;
    std::vector<SDL_GameController*> controllers_;
    std::optional<SdlPadWatch> watch_;
};

} // namespace platform
