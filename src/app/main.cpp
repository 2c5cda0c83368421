// Kestrilon: the game in a window of its own on a desktop, or in a page.
#include "app/command_line.h"
#include "app/startup.h"
#include "platform/process_setup.h"

#if defined(_WIN32)
#include "platform/win32/win32_window_host.h"
#elif defined(__EMSCRIPTEN__)
#include "platform/web/web_window_host.h"
#else
#include "platform/posix/termination_signals.h"
#include "platform/sdl/sdl_window_host.h"
#endif

#include <cstdlib>

int main(int argc, char** argv) {
    platform::prepareProcess();
    const CommandLine commandLine = parseCommandLine(argc, argv, std::getenv("KESTRILON_SCALE"));
    if (const int exitCode = answerCommandLine(commandLine); exitCode >= 0) {
        return exitCode;
    }
#if defined(_WIN32)
    platform::Win32WindowHost window(commandLine.scale);
#elif defined(__EMSCRIPTEN__)
    platform::WebWindowHost window;
#else
    platform::endOnTerminationSignals();
    platform::SdlWindowHost window(commandLine.scale);
#endif
    startGame(window);
}
