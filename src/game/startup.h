// The program's start-up: brings up the runtime and the window thread, waits for the window's
// first paint, fixes the window, loads the pictures and hands over to the game for good. The
// process ends when the window is closed, from the window thread.
#pragma once

namespace platform {
class WindowHost;
}

[[noreturn]] void startGame(platform::WindowHost& window);
