// The game's command line: what to do (play, today's game or not, watch a replay and at what pace,
// forget the best score, or print the best game's code, help or the version) and at what scale.
//
// Read once by the composition root before anything starts.
#pragma once

#include "game/replay_code.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

struct CommandLine {
    enum class Action { play, forgetBest, printBestReplay, help, version, usageError };
    Action action = Action::play;
    // How many times larger the window is shown; 0 takes the desktop's scale.
    int scale = 0;
    // Sound off for this run, whatever the player chose before.
    bool mute = false;
    // For usageError: what was wrong. For play: a warning about the environment, or empty.
    std::string message;
    // For play: the replay to watch first (a code, a file, or "best": the best score's game), if
    // one was named; an empty name is named all the same, and cannot be watched.
    std::optional<std::string> replay;
    // For play: today's game, every game of the run from the day's seed.
    bool daily = false;
    // For play with a replay: the pace it is watched at, 1, 2 or 4.
    std::uint32_t watchPace = 1;
};

// `scaleVariable` is KESTRILON_SCALE's value, null when unset; --scale wins over it.
CommandLine parseCommandLine(int argc, const char* const* argv, const char* scaleVariable);

// Does what the command line asks for short of playing (prints help, the version, a usage error
// or a warning; forgets the best score kept in `bestScoreFile`, empty when none is kept, or prints
// its game's code; reads the replay to watch into `replayToWatch`, or says why it cannot be
// watched) and returns the exit code when the program should end now, -1 when the game should
// start.
int answerCommandLine(const CommandLine& commandLine, const std::filesystem::path& bestScoreFile,
                      std::optional<Replay>& replayToWatch);
