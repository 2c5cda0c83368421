// The program's start-up: brings up the runtime and the window thread, loads the pictures while
// the window comes up, waits for its first paint, fixes the window, ties the pictures to it and
// hands over to the game for good. The process ends when the window is closed, from the window
// thread.
#pragma once

#include "game/game_keys.h"
#include "game/play.h"

#include <filesystem>

namespace platform {
class WindowHost;
}

// With a `bestScoreFile`, the best score kept there is shown in the header and every higher score
// a game ends with (a replay's never) is shown and saved with its game; without one (the headless
// runner) nothing is read or written. `hostGameOverListener` hears of every game's end too (the
// page shows its links then). The games read their keys from `keys` (a replay to watch first,
// today's seed).
[[noreturn]] void startGame(platform::WindowHost& window,
                            const std::filesystem::path& bestScoreFile = {},
                            GameOverListener hostGameOverListener = nullptr,
                            GameKeys keys = GameKeys());
