#include "app/command_line.h"

#include "game/best_score.h"
#include "game/replay_source.h"
#include "platform/player_message.h"
#include "platform/presentation_scale.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr int kUsageExitCode = 2;

constexpr const char* kUsage =
    "Usage: kestrilon [--scale N] [--mute] [--daily]\n"
    "                 [--replay CODE|FILE|best [--speed 1|2|4]]\n"
    "       kestrilon --print-best-replay | --forget-best | --help | --version\n"
    "\n"
    "A number-shooting game on a one-line LCD. Digit invaders march in from the right: aim at\n"
    "one and fire. Close the window to quit. The best score is kept, shown above the display.\n"
    "\n"
    "Keys:\n"
    "  Enter  start a game; skip a banner\n"
    "  X      step the aim: 0 ... 9, then the bonus invader, then 0 again\n"
    "  Z      fire\n"
    "  E      fire while the row is moving\n"
    "  M      sound off or on (remembered; a controller's Select/Back does the same)\n"
    "  1 2 4  while a replay plays: watch it at 1x, 2x or 4x\n"
    "\n"
    "Options:\n"
    "  --scale N       show the window N times larger, 1-8 (default: the desktop's scale)\n"
    "  --mute          start with the sound off, for this run only\n"
    "  --daily         play today's game: every game starts as every player's does today (by\n"
    "                  the UTC date), so its score can be set beside theirs\n"
    "  --replay CODE|FILE|best\n"
    "                  watch a game played back from its replay code, a file holding one, or\n"
    "                  the best score's game, then play; keys do nothing until its GAME OVER\n"
    "  --speed 1|2|4   watch the replay at 1x (the default), 2x or 4x\n"
    "  --print-best-replay\n"
    "                  print the replay code of the best score's game and exit\n"
    "  --forget-best   forget the best score and its game (remove their files) and exit\n"
#ifdef _WIN32
    "  -h, /?, --help  print this help and exit\n"
#else
    "  -h, --help      print this help and exit\n"
#endif
    "  --version       print the version and exit\n"
    "\n"
    "Environment:\n"
    "  KESTRILON_SCALE=N  as --scale N\n"
#ifndef _WIN32
    "  SDL_VIDEODRIVER    the video driver to use (x11, wayland, ...)\n"
    "  SDL_AUDIODRIVER    the sound driver to use (pulseaudio, alsa, pipewire, ...)\n"
#endif
    ;

bool asksForHelp(std::string_view argument) {
#ifdef _WIN32
    // Windows programs have answered /? since DOS.
    if (argument == "/?") {
        return true;
    }
#endif
    return argument == "--help" || argument == "-h";
}

// A command line that asks for `action` and nothing else.
CommandLine onlyAction(CommandLine::Action action, std::string message = {}) {
    CommandLine result;
    result.action = action;
    result.message = std::move(message);
    return result;
}

// The code kept with the best score, or std::nullopt with the reason there is none.
std::optional<std::string> bestGameCode(const std::filesystem::path& bestScoreFile,
                                        std::string& problem) {
    std::optional<std::string> code =
        bestScoreFile.empty() ? std::nullopt : readBestGame(bestScoreFile);
    if (!code) {
        problem = bestScoreFile.empty()
                      ? "no best game is kept: the system names no folder for it"
                      : "no best game is kept (no best score yet, one from before replays, or "
                        "one whose game was too long to keep)";
    }
    return code;
}

// Reads the replay to watch into `replayToWatch`; else returns the exit code, with the reason
// said.
int readReplayNamed(const std::string& name, const std::filesystem::path& bestScoreFile,
                    std::optional<Replay>& replayToWatch) {
    std::string problem;
    std::optional<Replay> replay;
    if (name != "best") {
        replay = replayFromArgument(name, problem);
    } else if (const std::optional<std::string> code = bestGameCode(bestScoreFile, problem)) {
        replay = replayFromArgument(*code, problem);
    } else {
        platform::tellPlayer(platform::PlayerMessage::usageError, problem + "\n");
        return 1;
    }
    if (!replay) {
        platform::tellPlayer(platform::PlayerMessage::usageError, problem + "\n");
        return kUsageExitCode;
    }
    replayToWatch = std::move(replay);
    return -1;
}

CommandLine usageError(std::string message) {
    return onlyAction(CommandLine::Action::usageError, std::move(message));
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv, const char* scaleVariable) {
    CommandLine result;
    if (scaleVariable != nullptr && *scaleVariable != 0) {
        result.scale = platform::parseScale(scaleVariable);
        if (result.scale == 0) {
            result.message = "KESTRILON_SCALE=" + std::string(scaleVariable) +
                             " is not a whole number from 1 to 8; ignored";
        }
    }
    bool speedGiven = false;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (asksForHelp(argument)) {
            return onlyAction(CommandLine::Action::help);
        }
        if (argument == "--forget-best") {
            return onlyAction(CommandLine::Action::forgetBest);
        }
        if (argument == "--print-best-replay") {
            return onlyAction(CommandLine::Action::printBestReplay);
        }
        if (argument == "--version") {
            return onlyAction(CommandLine::Action::version);
        }
        if (argument == "--mute") {
            result.mute = true;
            continue;
        }
        if (argument == "--daily") {
            result.daily = true;
            continue;
        }
        if (argument == "--speed") {
            if (index + 1 == argc) {
                return usageError("--speed needs 1, 2 or 4");
            }
            const std::string_view pace = argv[++index];
            if (pace != "1" && pace != "2" && pace != "4") {
                return usageError("--speed takes 1, 2 or 4, not \"" + std::string(pace) + "\"");
            }
            result.watchPace = static_cast<std::uint32_t>(pace[0] - '0');
            speedGiven = true;
            continue;
        }
        if (argument == "--replay") {
            if (index + 1 == argc) {
                return usageError("--replay needs a replay code or a file holding one");
            }
            result.replay = argv[++index];
            continue;
        }
        const char* scaleText = nullptr;
        if (argument == "--scale") {
            if (index + 1 == argc) {
                return usageError("--scale needs a number");
            }
            scaleText = argv[++index];
        } else if (argument.starts_with("--scale=")) {
            scaleText = argv[index] + std::string_view("--scale=").size();
        } else {
            return usageError("unknown option: " + std::string(argument));
        }
        result.scale = platform::parseScale(scaleText);
        if (result.scale == 0) {
            return usageError("--scale takes a whole number from 1 to 8, not \"" +
                              std::string(scaleText) + "\"");
        }
        result.message.clear();
    }
    if (speedGiven && !result.replay) {
        return usageError("--speed is the pace of a replay watched: name it with --replay");
    }
    return result;
}

int answerCommandLine(const CommandLine& commandLine, const std::filesystem::path& bestScoreFile,
                      std::optional<Replay>& replayToWatch) {
    switch (commandLine.action) {
    case CommandLine::Action::help: {
        std::string help = kUsage;
        help +=
            bestScoreFile.empty()
                ? std::string("\nThe best score is not kept: the system names no folder for it.\n")
                : "\nFiles:\n  " + messageName(bestScoreFile) +
                      "\n      the best score, and beside it best-game, the game that made it;\n"
                      "      --forget-best removes both\n";
        platform::tellPlayer(platform::PlayerMessage::answer, help);
        return 0;
    }
    case CommandLine::Action::forgetBest:
        return bestScoreFile.empty() || forgetBestScore(bestScoreFile) ? 0 : 1;
    case CommandLine::Action::printBestReplay: {
        std::string problem;
        const std::optional<std::string> code = bestGameCode(bestScoreFile, problem);
        platform::tellPlayer(code ? platform::PlayerMessage::answer
                                  : platform::PlayerMessage::usageError,
                             (code ? *code : problem) + "\n");
        return code ? 0 : 1;
    }
    case CommandLine::Action::version:
        platform::tellPlayer(platform::PlayerMessage::answer, "kestrilon " KESTRILON_VERSION "\n");
        return 0;
    case CommandLine::Action::usageError:
        platform::tellPlayer(platform::PlayerMessage::usageError,
                             commandLine.message + "\n\n" + kUsage);
        return kUsageExitCode;
    case CommandLine::Action::play:
        break;
    }
    if (!commandLine.message.empty()) {
        std::fprintf(stderr, "kestrilon: %s\n", commandLine.message.c_str());
    }
    return commandLine.replay ? readReplayNamed(*commandLine.replay, bestScoreFile, replayToWatch)
                              : -1;
}
