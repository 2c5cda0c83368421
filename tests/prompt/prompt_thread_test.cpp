#include "prompt/prompt_thread.h"

#include "platform/clock.h"
#include "platform/headless/headless_window_host.h"
#include "platform/sdl/sdl_window_host.h"
#include "prompt/prompt_window.h"
#include "runtime/rt_string.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

namespace {

using namespace platform;

// Inside the child process of a death test: a failed check ends it with code 2 and says why.
void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::_Exit(2);
    }
}

// The game thread's side of start-up and play, against the window thread; the window thread
// ends the process.
void playThenClose() {
    runtimeInit();
    promptWindow.ready = 0;
    static HeadlessWindowHost host(1024, 768);
    std::thread(promptThreadMain, std::ref(host)).detach();
    while (promptWindow.ready == 0) {
        sleepMs(20);
    }
    require(promptWindow.handle == &host, "the handle is published before ready");
    require(host.view().className == "PROMPT", "class PROMPT");
    require(host.view().caption == "QUILL PROMPT", "first caption");
    {
        std::lock_guard guard(host.displayLock());
        require(promptWindow.backBuffer != nullptr, "back buffer exists once ready");
        require(promptWindow.backBuffer->width == 1024 && promptWindow.backBuffer->height == 768,
                "back buffer of the screen's size");
    }

    host.setCaption("Kestrilon");
    host.setStyle(host.style() & ~(WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    host.setPosition(0, 0, 402, 117, SWP_FRAMECHANGED);
    host.setPosition(0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
    const HeadlessView view = host.view();
    require(view.caption == "Kestrilon" && view.style == 0x00C80000u, "caption and style");
    require(view.clientWidth == 392 && view.clientHeight == 88, "client 392 x 88");

    host.pushKey(0x0D);
    while (promptWindow.lastKey != 0x0D) {
        sleepMs(1);
    }
    // Mid-frame for ever: only the window thread can end the process now.
    host.requestClose();
    for (;;) {
        sleepMs(1000);
    }
}

void startWithoutADisplay() {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);
    static SdlWindowHost host;
    promptThreadMain(host);
}

TEST(PromptThread, ClosingTheWindowEndsTheProcessWithCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(playThenClose(), ::testing::ExitedWithCode(0), "");
}

TEST(PromptThread, WithoutADisplayTheProcessEndsWithCodeOneAndSaysWhy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(startWithoutADisplay(), ::testing::ExitedWithCode(1),
                "kestrilon: cannot open a window: ");
}

} // namespace
