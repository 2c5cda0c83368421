// The headless window host: a real window kept in memory, for tests and tools.
//
// Implemented features:
//  [x] The same threading contract as the desktop host: the thread that calls open() is the
//      window thread; calls from other threads are carried out on it and return once done.
//  [x] The client area's pixels, and the frame last presented (what a player would see).
//  [x] A message queue fed from any thread (pushKey, pushSystemKey, pushChar, pushExpose,
//      pushFocus, requestClose); getMessage blocks without spinning until a message comes.
//  [x] WM_PAINT merged and delivered once the queue is empty, as the system delivers it.
//  [x] Class, caption, style, position, client size and small-icon size, read through view().
//  [ ] No frame, no screen: the position is only recorded, nothing overlaps the window.
#pragma once

#include "platform/present_requests.h"
#include "platform/window_calls.h"
#include "platform/window_frame.h"
#include "platform/window_host.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

namespace platform {

// What the headless window looks like right now.
struct HeadlessView {
    bool created = false;
    bool visible = false;
    bool destroyed = false;
    std::string className;
    std::string caption;
    std::uint32_t style = 0;
    int x = 0;
    int y = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int iconWidth = 0;
    int iconHeight = 0;
    int presents = 0;
};

class HeadlessWindowHost final : public WindowHost {
  public:
    // The default client size stands in for the system's default window size.
    static constexpr int kDefaultClientWidth = 640;
    static constexpr int kDefaultClientHeight = 480;

    HeadlessWindowHost(int screenWidth, int screenHeight);

    bool open(const std::string& className) override;
    int screenWidth() const override { return screenWidth_; }
    int screenHeight() const override { return screenHeight_; }
    bool create(const WindowSpec& wanted, WindowProc proc) override;
    void show() override;
    bool getMessage(WindowMessage& message) override;
    void dispatch(const WindowMessage& message) override;
    std::int32_t defaultProc(std::uint32_t message, std::uint32_t wParam,
                             std::int32_t lParam) override;
    void postQuit(int exitCode) override;

    void setCaption(const std::string& caption) override;
    void setSmallIcon(const Bitmap& icon) override;
    std::uint32_t style() override;
    void setStyle(std::uint32_t style) override;
    void setPosition(int x, int y, int outerWidth, int outerHeight, std::uint32_t flags) override;
    void invalidate() override;

    std::mutex& displayLock() override { return displayLock_; }
    Bitmap& clientPixels() override { return clientPixels_; }
    void requestPresent() override;

    // --- any thread: the player's side ---
    void pushKey(std::uint32_t virtualKey);
    // A key the system keeps for itself: held with Alt, or F10.
    void pushSystemKey(std::uint32_t virtualKey);
    void pushChar(std::uint32_t character);
    // The window was uncovered.
    void pushExpose();
    void pushFocus(bool gained);
    // The close box.
    void requestClose();

    // --- window thread ---
    // getMessage without the wait: false when no message is waiting or the quit message came.
    bool takeMessage(WindowMessage& message);

    // --- any thread: what happened ---
    HeadlessView view();
    // A copy of the frame last presented.
    Bitmap presentedPixels();

  private:
    enum class Next { message, quit, nothing };
    Next next(WindowMessage& message, bool wait);
    void post(WindowMessage message);
    void wake();
    void present();

    const int screenWidth_;
    const int screenHeight_;
    WindowProc proc_ = nullptr;
    WindowCalls calls_;

    std::mutex lock_; // the queue, the flags and view_
    std::condition_variable messageArrived_;
    PresentRequests presents_;
    std::deque<WindowMessage> queue_;
    bool paintPending_ = false;
    bool quitPosted_ = false;
    int exitCode_ = 0;
    HeadlessView view_;

    std::mutex displayLock_;
    Bitmap clientPixels_;
    Bitmap presented_;
};

} // namespace platform
