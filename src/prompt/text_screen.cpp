#include "prompt/text_screen.h"

#include "platform/window_host.h"
#include "prompt/prompt_window.h"

void clearScreen(std::int32_t mode) {
    if (mode == 0) {
        mode = 1;
    }
    if (mode == 1) {
        std::lock_guard guard(TextScreen::lock);
        for (auto& row : TextScreen::rows) {
            row.fill(0);
        }
    }
    if (platform::WindowHost* window = promptWindow.handle.load()) {
        window->invalidate();
    }
}
