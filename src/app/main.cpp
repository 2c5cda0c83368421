// Kestrilon: the game in a window of its own on a desktop, or in a page.
#include "app/command_line.h"
#include "app/sound_setting.h"
#include "app/startup.h"
#include "game/best_score.h"
#include "game/daily_game.h"
#include "platform/process_setup.h"
#include "platform/program_arguments.h"
#include "platform/sound_output.h"

#if defined(_WIN32)
#include "platform/win32/wave_out_sound.h"
#include "platform/win32/win32_window_host.h"
#elif defined(__EMSCRIPTEN__)
#include "platform/web/web_sound.h"
#include "platform/web/web_window_host.h"
#else
#include "platform/posix/termination_signals.h"
#include "platform/sdl/sdl_sound.h"
#include "platform/sdl/sdl_window_host.h"
#endif

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

int main(int argc, char** argv) {
    platform::prepareProcess();
    platform::ProgramArguments arguments(argc, argv);
    const std::optional<std::string> scale = platform::environmentVariable("KESTRILON_SCALE");
    const CommandLine commandLine =
        parseCommandLine(arguments.count(), arguments.values(), scale ? scale->c_str() : nullptr);
    std::string noFolder;
    const std::filesystem::path bestFile = bestScoreFile(noFolder);
    std::optional<Replay> replay;
    const int exitCode = answerCommandLine(commandLine, bestFile, replay);
#if defined(__EMSCRIPTEN__)
    // A link whose replay cannot be watched was named on the page, which plays on.
    const bool endNow = exitCode >= 0 && commandLine.action != CommandLine::Action::play;
#else
    const bool endNow = exitCode >= 0;
#endif
    if (endNow) {
        return exitCode;
    }
    if (bestFile.empty()) {
        std::fprintf(stderr, "kestrilon: the best score is not kept: %s\n", noFolder.c_str());
    }
    platform::setSoundMuted(commandLine.mute || readSoundOff(soundSettingFile(bestFile)));
#if defined(_WIN32)
    platform::WaveOutSound sound;
    platform::Win32WindowHost window(commandLine.scale);
    const GameOverListener hostGameOverListener = nullptr;
#elif defined(__EMSCRIPTEN__)
    platform::WebSound sound;
    platform::WebWindowHost window;
    // The page offers its links after each game.
    const GameOverListener hostGameOverListener = platform::tellPageGameOver;
#else
    platform::endOnTerminationSignals();
    platform::SdlSound sound;
    platform::SdlWindowHost window(commandLine.scale);
    const GameOverListener hostGameOverListener = nullptr;
#endif
    platform::useSoundOutput(&sound);
    // Today is the player's UTC date as the program starts: a run played past midnight stays on
    // the day it began.
    const std::optional<std::uint32_t> daySeed =
        commandLine.daily ? std::optional(dailySeed(utcDate(std::chrono::system_clock::now())))
                          : std::nullopt;
    startGame(window, bestFile, hostGameOverListener,
              GameKeys(std::move(replay), daySeed, commandLine.watchPace));
}
