// The program's start-up: brings up the runtime and the window thread, loads the pictures while
// the window comes up, waits for its first paint, fixes the window, ties the pictures to it and
// hands over to the game for good. The process ends when the window is closed, from the window
// thread.
#pragma once

namespace platform {
class WindowHost;
}

[[noreturn]] void startGame(platform::WindowHost& window);
