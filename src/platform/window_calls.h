// Calls other threads make on the window, carried out on the window thread: the way Win32
// carries a cross-thread window call over to the thread that owns the window.
//
// Used by the window hosts. The window thread binds itself once, before any other thread can
// reach the window, and runs what is queued whenever its message loop comes round. Any thread
// may call run(); it returns once the call has been carried out.
#pragma once

#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace platform {

class WindowCalls {
  public:
    // Window thread, once.
    void bindToCurrentThread() { windowThread_ = std::this_thread::get_id(); }
    bool onWindowThread() const { return std::this_thread::get_id() == windowThread_; }

    // Any thread. On the window thread `call` runs at once; elsewhere it is queued, `wake`
    // rouses the window thread, and run() waits until the call has been carried out.
    void run(const std::function<void()>& call, const std::function<void()>& wake);

    // Window thread: carries out every queued call.
    void runQueued();
    bool anyQueued();

  private:
    std::thread::id windowThread_;
    std::mutex lock_;
    std::deque<std::packaged_task<void()>> queued_;
};

} // namespace platform
