#include "platform/headless/headless_window_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace platform;

// What the window procedure received, in order. Written by the window thread only.
std::vector<std::uint32_t> received;
// Paints dispatched so far, for a test thread to wait on.
std::mutex paintLock;
std::condition_variable painted;
int paintsSeen = 0;

std::int32_t recordingProc(WindowHost& window, std::uint32_t message, std::uint32_t wParam,
                           std::int32_t lParam) {
    received.push_back(message);
    if (message == WM_PAINT) {
        std::lock_guard guard(paintLock);
        ++paintsSeen;
        painted.notify_all();
    }
    if (message == WM_DESTROY) {
        window.postQuit(0);
        return 0;
    }
    return window.defaultProc(message, wParam, lParam);
}

TEST(HeadlessWindowHost, PaintsWaitForAnEmptyQueueAndMerge) {
    received.clear();
    HeadlessWindowHost host(320, 200);
    ASSERT_TRUE(host.open("PROMPT"));
    ASSERT_TRUE(host.create({"QUILL PROMPT", WS_OVERLAPPEDWINDOW}, recordingProc));
    EXPECT_EQ(received, std::vector<std::uint32_t>{WM_CREATE});

    host.invalidate();
    host.invalidate();
    host.pushExpose();
    host.pushKey(0x41);
    host.pushChar('a');
    WindowMessage message;
    ASSERT_TRUE(host.takeMessage(message));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(message.wParam, 0x41u);
    ASSERT_TRUE(host.takeMessage(message));
    EXPECT_EQ(message.message, WM_CHAR);
    ASSERT_TRUE(host.takeMessage(message));
    EXPECT_EQ(message.message, WM_PAINT);
    EXPECT_FALSE(host.takeMessage(message)) << "three requests, one paint";

    // Many present requests before the window thread comes round make one present.
    for (int blit = 0; blit < 72; ++blit) {
        host.requestPresent();
    }
    EXPECT_FALSE(host.takeMessage(message));
    EXPECT_EQ(host.view().presents, 1);
}

TEST(HeadlessWindowHost, CallsFromOtherThreadsAreCarriedOutBeforeTheyReturn) {
    received.clear();
    paintsSeen = 0;
    HeadlessWindowHost host(1024, 768);
    std::promise<void> created;
    std::thread windowThread([&] {
        host.open("PROMPT");
        host.create({"QUILL PROMPT", WS_OVERLAPPEDWINDOW}, recordingProc);
        created.set_value();
        host.show();
        WindowMessage message;
        while (host.getMessage(message)) {
            host.dispatch(message);
        }
    });
    created.get_future().wait();
    // The paint that show() asks for comes once nothing else is queued; the calls below keep the
    // queue busy, so it is awaited here rather than hoped for later.
    {
        std::unique_lock guard(paintLock);
        painted.wait(guard, [] { return paintsSeen > 0; });
    }

    host.setCaption("Kestrilon");
    EXPECT_EQ(host.view().caption, "Kestrilon");
    EXPECT_EQ(host.style(), WS_OVERLAPPEDWINDOW);
    host.setStyle(host.style() & ~(WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(host.style(), 0x00C80000u);
    host.setSmallIcon(Bitmap(16, 16));
    EXPECT_EQ(host.view().iconWidth, 16);
    EXPECT_EQ(host.view().iconHeight, 16);

    host.setPosition(0, 0, 402, 117, SWP_FRAMECHANGED);
    HeadlessView view = host.view();
    EXPECT_EQ(view.x, 0);
    EXPECT_EQ(view.y, 0);
    EXPECT_EQ(view.clientWidth, 392);
    EXPECT_EQ(view.clientHeight, 88);
    {
        std::lock_guard guard(host.displayLock());
        EXPECT_EQ(host.clientPixels().width, 392);
        EXPECT_EQ(host.clientPixels().height, 88);
    }
    host.setPosition(50, 60, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
    host.setPosition(7, 9, 0, 0, SWP_NOSIZE);
    view = host.view();
    EXPECT_EQ(view.x, 7);
    EXPECT_EQ(view.y, 9);
    EXPECT_EQ(view.clientWidth, 392) << "SWP_NOSIZE keeps the size";

    // Two threads calling at once are served one call at a time.
    std::thread second([&] {
        for (int i = 0; i < 200; ++i) {
            host.setCaption(i % 2 == 0 ? "even" : "odd");
        }
    });
    for (int i = 0; i < 200; ++i) {
        host.setPosition(i, i, 402, 117, 0);
        host.invalidate();
        host.requestPresent();
    }
    second.join();
    EXPECT_EQ(host.view().caption, "odd");
    EXPECT_EQ(host.view().x, 199);

    host.requestClose();
    windowThread.join();
    EXPECT_TRUE(host.view().destroyed);
    ASSERT_GE(received.size(), 4u);
    EXPECT_EQ(received.front(), WM_CREATE);
    EXPECT_EQ(received[received.size() - 2], WM_CLOSE);
    EXPECT_EQ(received.back(), WM_DESTROY);
    EXPECT_GE(std::count(received.begin(), received.end(), WM_PAINT), 1);
}

} // namespace
