#include "prompt/prompt_window_proc.h"

#include "platform/headless/headless_window_host.h"
#include "platform/watch_pace.h"
#include "prompt/prompt_window.h"
#include "prompt/text_screen.h"
#include "runtime/rt_string.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

namespace {

using namespace platform;

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// The test's thread is the window thread: it opens the host and pumps its messages.
class PromptWindowProcTest : public ::testing::Test {
  protected:
    void SetUp() override {
        runtimeInit();
        promptWindow.ready = 0;
        promptWindow.lastKey = 0;
        promptWindow.backBufferWidth = kScreenWidth;
        promptWindow.backBufferHeight = kScreenHeight;
        ASSERT_TRUE(host.open("PROMPT"));
        ASSERT_TRUE(host.create({"QUILL PROMPT", WS_OVERLAPPEDWINDOW}, promptWindowProc));
        promptWindow.handle = &host;
    }

    void TearDown() override {
        if (!host.view().destroyed) {
            promptWindowProc(host, WM_DESTROY, 0, 0);
        }
        promptWindow.handle = nullptr;
    }

    // Takes the next message the host has and hands it to the procedure.
    std::uint32_t pump() {
        WindowMessage message;
        EXPECT_TRUE(host.takeMessage(message)) << "a message was expected";
        host.dispatch(message);
        return message.message;
    }

    void drawIntoBackBuffer() {
        std::lock_guard guard(host.displayLock());
        Bitmap& back = *promptWindow.backBuffer;
        for (int y = 0; y < back.height; ++y) {
            for (int x = 0; x < back.width; ++x) {
                back.setPixel(x, y, static_cast<std::uint32_t>((y << 12) ^ (x * 37)) & 0xFFFFFF);
            }
        }
    }

    void scribbleOnClient() {
        std::lock_guard guard(host.displayLock());
        std::fill(host.clientPixels().pixels.begin(), host.clientPixels().pixels.end(), 0xFF00FF);
    }

    // The client pixels are the back buffer's top-left part of the client's size.
    bool clientShowsBackBuffer() {
        std::lock_guard guard(host.displayLock());
        const Bitmap& client = host.clientPixels();
        const Bitmap& back = *promptWindow.backBuffer;
        for (int y = 0; y < client.height; ++y) {
            for (int x = 0; x < client.width; ++x) {
                if (client.pixel(x, y) != back.pixel(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }

    HeadlessWindowHost host{kScreenWidth, kScreenHeight};
};

TEST_F(PromptWindowProcTest, CreateMakesAScreenSizedBlackBackBuffer) {
    std::lock_guard guard(host.displayLock());
    ASSERT_NE(promptWindow.backBuffer, nullptr);
    EXPECT_EQ(promptWindow.backBuffer->width, kScreenWidth);
    EXPECT_EQ(promptWindow.backBuffer->height, kScreenHeight);
    const auto& pixels = promptWindow.backBuffer->pixels;
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p == 0; }));
    EXPECT_EQ(promptWindow.lineHeight, 16);
    EXPECT_EQ(promptWindow.ready, 0) << "only a paint raises ready";
}

TEST_F(PromptWindowProcTest, EveryPaintCopiesTheBackBufferAndRaisesReady) {
    drawIntoBackBuffer();
    scribbleOnClient();
    host.show();
    EXPECT_EQ(pump(), WM_PAINT);
    EXPECT_EQ(promptWindow.ready, 1);
    EXPECT_TRUE(clientShowsBackBuffer());

    promptWindow.ready = 0;
    scribbleOnClient();
    host.pushExpose();
    EXPECT_EQ(pump(), WM_PAINT) << "uncovering the window paints it";
    EXPECT_EQ(promptWindow.ready, 1);
    EXPECT_TRUE(clientShowsBackBuffer());

    // The paint asked for a present; the host makes it on its next turn.
    host.pushFocus(true);
    EXPECT_EQ(pump(), WM_SETFOCUS);
    EXPECT_EQ(host.view().presents, 2) << "one present for each paint";
    const Bitmap shown = host.presentedPixels();
    std::lock_guard guard(host.displayLock());
    EXPECT_EQ(shown.pixels, host.clientPixels().pixels);
}

TEST_F(PromptWindowProcTest, ClearScreenRepaintsExactlyTheBackBuffer) {
    drawIntoBackBuffer();
    for (const std::int32_t mode : {0, 1}) {
        {
            std::lock_guard guard(TextScreen::lock);
            TextScreen::rows[0].fill('A');
            TextScreen::rows[100][3] = 'Z';
        }
        scribbleOnClient();
        promptWindow.ready = 0;
        clearScreen(mode);
        {
            std::lock_guard guard(TextScreen::lock);
            for (const auto& row : TextScreen::rows) {
                EXPECT_TRUE(std::all_of(row.begin(), row.end(), [](char c) { return c == 0; }))
                    << "mode " << mode;
            }
        }
        EXPECT_EQ(pump(), WM_PAINT) << "mode " << mode;
        EXPECT_EQ(promptWindow.ready, 1) << "mode " << mode;
        EXPECT_TRUE(clientShowsBackBuffer()) << "mode " << mode;
    }
}

TEST_F(PromptWindowProcTest, KeyDownsAloneReachTheLatch) {
    // Shift then X: a read between the two sees Shift first.
    host.pushKey(0x10);
    host.pushKey(0x58);
    pump();
    EXPECT_EQ(promptWindow.lastKey, 0x10);
    EXPECT_EQ(stringFirstByte(readLastKey()), 0x10);
    pump();
    EXPECT_EQ(promptWindow.lastKey, 0x58) << "X held with Shift is X";

    // The character a key-down makes is not a key.
    promptWindow.lastKey = 0;
    host.pushKey(0x5A);
    host.pushChar('z');
    pump();
    pump();
    EXPECT_EQ(promptWindow.lastKey, 0x5A);

    // Alt+X and F10 belong to the system.
    promptWindow.lastKey = 0;
    host.pushSystemKey(0x58);
    host.pushSystemKey(0x79);
    EXPECT_EQ(pump(), WM_SYSKEYDOWN);
    EXPECT_EQ(pump(), WM_SYSKEYDOWN);
    EXPECT_EQ(promptWindow.lastKey, 0);

    // Only the low byte is kept.
    host.pushKey(0x1BB);
    pump();
    EXPECT_EQ(promptWindow.lastKey, 0xBB);

    // 1, 2 and 4 set the pace of a replay watched, and are the game's keys at any other time.
    startWatching(1);
    host.pushKey('4');
    pump();
    EXPECT_EQ(watchPace(), 4u);
    EXPECT_EQ(promptWindow.lastKey, 0xBB) << "the pace never reaches the latch";
    stopWatching();
    EXPECT_EQ(watchPace(), 1u) << "back to 1x at the replay's end";
    host.pushKey('4');
    pump();
    EXPECT_EQ(promptWindow.lastKey, '4');
}

TEST_F(PromptWindowProcTest, EveryMessageGivesItsWorkingStringBack) {
    const std::int32_t before = stringCount();
    for (const std::uint32_t message :
         {WM_PAINT, WM_KEYDOWN, WM_CHAR, WM_SETFOCUS, WM_KILLFOCUS, WM_SYSKEYDOWN, 0x0200u}) {
        EXPECT_EQ(promptWindowProc(host, message, 0x41, 0), 0) << "message " << message;
        EXPECT_EQ(stringCount(), before) << "message " << message;
    }
    host.requestClose();
    EXPECT_EQ(pump(), WM_CLOSE);
    EXPECT_EQ(stringCount(), before) << "close and destroy";
}

TEST_F(PromptWindowProcTest, CloseDestroysTheWindowFreesTheBackBufferAndQuits) {
    host.requestClose();
    EXPECT_EQ(pump(), WM_CLOSE);
    {
        std::lock_guard guard(host.displayLock());
        EXPECT_EQ(promptWindow.backBuffer, nullptr);
    }
    EXPECT_TRUE(host.view().destroyed);
    WindowMessage message;
    EXPECT_FALSE(host.getMessage(message)) << "the message loop ends";
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u) << "exit code";

    // A paint that was still on its way finds no back buffer and leaves the pixels alone.
    scribbleOnClient();
    promptWindowProc(host, WM_PAINT, 0, 0);
    std::lock_guard guard(host.displayLock());
    EXPECT_EQ(host.clientPixels().pixel(0, 0), 0xFF00FFu);
}

} // namespace
