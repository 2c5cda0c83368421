// Kestrilon: the desktop game in a window of its own.
#include "game/command_line.h"
#include "game/startup.h"
#include "platform/process_setup.h"

#ifdef _WIN32
#include "platform/win32_window_host.h"
#else
#include "platform/sdl_window_host.h"
#include "platform/termination_signals.h"
#endif

#include <cstdlib>

int main(int argc, char** argv) {
    platform::prepareProcess();
    const CommandLine commandLine = parseCommandLine(argc, argv, std::getenv("KESTRILON_SCALE"));
    if (const int exitCode = answerCommandLine(commandLine); exitCode >= 0) {
        return exitCode;
    }
#ifdef _WIN32
    platform::Win32WindowHost window(commandLine.scale);
#else
    platform::endOnTerminationSignals();
    platform::SdlWindowHost window(commandLine.scale);
#endif
    startGame(window);
}
