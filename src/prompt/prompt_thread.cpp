#include "prompt/prompt_thread.h"

#include "platform/process_exit.h"
#include "prompt/prompt_window.h"
#include "prompt/prompt_window_proc.h"

namespace {

constexpr int kNoWindowExitCode = 1;

} // namespace

bool openPromptWindow(platform::WindowHost& window) {
    // The text rows live in static storage, so unlike the window they need no making here.
    if (!window.open("PROMPT")) {
        return false;
    }
    // The back buffer that WM_CREATE makes has the screen's size.
    promptWindow.backBufferWidth = window.screenWidth();
    promptWindow.backBufferHeight = window.screenHeight();
    if (!window.create({"QUILL PROMPT", platform::WS_OVERLAPPEDWINDOW}, promptWindowProc)) {
        return false;
    }
    promptWindow.handle.store(&window);
    window.show();
    return true;
}

void promptThreadMain(platform::WindowHost& window) {
    if (!openPromptWindow(window)) {
        platform::exitProcess(kNoWindowExitCode);
    }
    // The host does the translation of key-downs into WM_CHAR itself.
    platform::WindowMessage message;
    while (window.getMessage(message)) {
        window.dispatch(message);
    }
    platform::exitProcess(0);
}
