// The prompt window on the desktop host, brought up the way the game's start-up does it, with a
// picture in it. Prints "ready" once the window is set up, then one line "key 0xNN" for every
// key it takes from the key latch. Closing the window ends it with exit code 0.
#include "platform/bitmap.h"
#include "platform/clock.h"
#include "platform/sdl/sdl_window_host.h"
#include "prompt/prompt_thread.h"
#include "prompt/prompt_window.h"
#include "runtime/rt_string.h"

#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

namespace {

using namespace platform;

constexpr std::uint32_t kPanel = 0xB4C8AA;
constexpr std::uint32_t kInk = 0x1E281E;

// A pale panel with twelve dark cells, 24 x 40 and 8 pixels apart, like the game's display.
Bitmap panelPicture() {
    Bitmap panel(392, 88, kPanel);
    const Bitmap cell(24, 40, kInk);
    for (int index = 0; index < 12; ++index) {
        copyRect(panel, 8 + 32 * index, 40, cell.width, cell.height, cell, 0, 0, kSrcCopy);
    }
    return panel;
}

Bitmap iconPicture() {
    Bitmap icon(16, 16, kPanel);
    const Bitmap digit(6, 10, kInk);
    copyRect(icon, 5, 3, digit.width, digit.height, digit, 0, 0, kSrcCopy);
    return icon;
}

} // namespace

int main() {
    runtimeInit();
    promptWindow.ready = 0;
    static SdlWindowHost host;
    std::thread(promptThreadMain, std::ref(host)).detach();
    while (promptWindow.ready == 0) {
        sleepMs(20);
    }
    host.setCaption("Kestrilon");
    host.setSmallIcon(iconPicture());
    host.setStyle(host.style() & ~(WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    host.setPosition(0, 0, 402, 117, SWP_FRAMECHANGED);
    host.setPosition(0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
    {
        const Bitmap panel = panelPicture();
        std::lock_guard guard(host.displayLock());
        copyRect(host.clientPixels(), 0, 0, panel.width, panel.height, panel, 0, 0, kSrcCopy);
        copyRect(*promptWindow.backBuffer, 0, 0, panel.width, panel.height, panel, 0, 0, kSrcCopy);
    }
    host.requestPresent();
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        sleepMs(17);
        if (const std::uint8_t key = promptWindow.lastKey.exchange(0); key != 0) {
            std::printf("key 0x%02X\n", key);
            std::fflush(stdout);
        }
    }
}
