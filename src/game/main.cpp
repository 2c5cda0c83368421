// Kestrilon: the desktop game in a window of its own.
#include "game/command_line.h"
#include "game/startup.h"
#include "platform/process_setup.h"
#include "platform/sdl_window_host.h"
#include "platform/termination_signals.h"

#include <cstdlib>

int main(int argc, char** argv) {
    platform::prepareProcess();
    const CommandLine commandLine = parseCommandLine(argc, argv, std::getenv("KESTRILON_SCALE"));
    if (const int exitCode = answerCommandLine(commandLine); exitCode >= 0) {
        return exitCode;
    }
    platform::endOnTerminationSignals();
    platform::SdlWindowHost window(commandLine.scale);
    startGame(window);
}
