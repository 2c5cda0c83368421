// Kestrilon: the desktop game in a window of its own.
#include "game/startup.h"
#include "platform/sdl_window_host.h"

int main() {
    platform::SdlWindowHost window;
    startGame(window);
}
