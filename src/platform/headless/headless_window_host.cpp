#include "platform/headless/headless_window_host.h"

#include <cassert>

namespace platform {
namespace {

// lParam of a key-down: a repeat count of 1; system keys also carry the Alt context bit.
constexpr std::int32_t kKeyDownParam = 1;
constexpr std::int32_t kSystemKeyDownParam = kKeyDownParam | (1 << 29);

} // namespace

HeadlessWindowHost::HeadlessWindowHost(int screenWidth, int screenHeight)
    : screenWidth_(screenWidth), screenHeight_(screenHeight) {}

bool HeadlessWindowHost::open(const std::string& className) {
    calls_.bindToCurrentThread();
    std::lock_guard guard(lock_);
    view_.className = className;
    return true;
}

bool HeadlessWindowHost::create(const WindowSpec& wanted, WindowProc proc) {
    assert(calls_.onWindowThread() && "create the window on the thread that called open()");
    proc_ = proc;
    {
        std::lock_guard guard(displayLock_);
        clientPixels_ = Bitmap(kDefaultClientWidth, kDefaultClientHeight);
    }
    {
        std::lock_guard guard(lock_);
        view_.created = true;
        view_.caption = wanted.caption;
        view_.style = wanted.style;
        view_.clientWidth = kDefaultClientWidth;
        view_.clientHeight = kDefaultClientHeight;
    }
    proc_(*this, WM_CREATE, 0, 0);
    return true;
}

void HeadlessWindowHost::show() {
    std::lock_guard guard(lock_);
    view_.visible = true;
    paintPending_ = true;
}

bool HeadlessWindowHost::getMessage(WindowMessage& message) {
    return next(message, true) == Next::message;
}

bool HeadlessWindowHost::takeMessage(WindowMessage& message) {
    return next(message, false) == Next::message;
}

HeadlessWindowHost::Next HeadlessWindowHost::next(WindowMessage& message, bool wait) {
    std::unique_lock guard(lock_);
    for (;;) {
        if (quitPosted_) {
            message = {WM_QUIT, static_cast<std::uint32_t>(exitCode_), 0};
            return Next::quit;
        }
        const bool presentNow = presents_.take();
        if (presentNow || calls_.anyQueued()) {
            guard.unlock();
            calls_.runQueued();
            if (presentNow) {
                present();
            }
            guard.lock();
            continue;
        }
        if (!queue_.empty()) {
            message = queue_.front();
            queue_.pop_front();
            return Next::message;
        }
        // Like the system's, a paint waits until nothing else is queued, so requests merge.
        if (paintPending_) {
            paintPending_ = false;
            message = {WM_PAINT, 0, 0};
            return Next::message;
        }
        if (!wait) {
            return Next::nothing;
        }
        messageArrived_.wait(guard);
    }
}

void HeadlessWindowHost::dispatch(const WindowMessage& message) {
    if (proc_ != nullptr) {
        proc_(*this, message.message, static_cast<std::uint32_t>(message.wParam),
              static_cast<std::int32_t>(message.lParam));
    }
}

std::int32_t HeadlessWindowHost::defaultProc(std::uint32_t message, std::uint32_t, std::int32_t) {
    if (message != WM_CLOSE) {
        return 0;
    }
    {
        std::lock_guard guard(lock_);
        if (!view_.created || view_.destroyed) {
            return 0;
        }
    }
    proc_(*this, WM_DESTROY, 0, 0);
    std::lock_guard guard(lock_);
    view_.destroyed = true;
    view_.visible = false;
    return 0;
}

void HeadlessWindowHost::postQuit(int exitCode) {
    std::lock_guard guard(lock_);
    quitPosted_ = true;
    exitCode_ = exitCode;
}

void HeadlessWindowHost::setCaption(const std::string& caption) {
    calls_.run(
        [&] {
            std::lock_guard guard(lock_);
            view_.caption = caption;
        },
        [this] { wake(); });
}

void HeadlessWindowHost::setSmallIcon(const Bitmap& icon) {
    calls_.run(
        [&] {
            std::lock_guard guard(lock_);
            view_.iconWidth = icon.width;
            view_.iconHeight = icon.height;
        },
        [this] { wake(); });
}

std::uint32_t HeadlessWindowHost::style() {
    std::uint32_t result = 0;
    calls_.run(
        [&] {
            std::lock_guard guard(lock_);
            result = view_.style;
        },
        [this] { wake(); });
    return result;
}

void HeadlessWindowHost::setStyle(std::uint32_t style) {
    calls_.run(
        [&] {
            std::lock_guard guard(lock_);
            view_.style = style;
        },
        [this] { wake(); });
}

void HeadlessWindowHost::setPosition(int x, int y, int outerWidth, int outerHeight,
                                     std::uint32_t flags) {
    calls_.run(
        [&] {
            const ClientSize client = clientSizeForOuter(outerWidth, outerHeight);
            if ((flags & SWP_NOSIZE) == 0) {
                resizeClientPixels(displayLock_, clientPixels_, client);
            }
            std::lock_guard guard(lock_);
            if ((flags & SWP_NOMOVE) == 0) {
                view_.x = x;
                view_.y = y;
            }
            if ((flags & SWP_NOSIZE) == 0) {
                view_.clientWidth = client.width;
                view_.clientHeight = client.height;
                paintPending_ = true;
            }
        },
        [this] { wake(); });
}

void HeadlessWindowHost::invalidate() {
    pushExpose();
}

void HeadlessWindowHost::requestPresent() {
    if (presents_.request()) {
        wake();
    }
}

void HeadlessWindowHost::pushKey(std::uint32_t virtualKey) {
    post({WM_KEYDOWN, virtualKey, kKeyDownParam});
}

void HeadlessWindowHost::pushSystemKey(std::uint32_t virtualKey) {
    post({WM_SYSKEYDOWN, virtualKey, kSystemKeyDownParam});
}

void HeadlessWindowHost::pushChar(std::uint32_t character) {
    post({WM_CHAR, character, 1});
}

void HeadlessWindowHost::pushExpose() {
    {
        std::lock_guard guard(lock_);
        paintPending_ = true;
    }
    messageArrived_.notify_one();
}

void HeadlessWindowHost::pushFocus(bool gained) {
    post({gained ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0});
}

void HeadlessWindowHost::requestClose() {
    post({WM_CLOSE, 0, 0});
}

HeadlessView HeadlessWindowHost::view() {
    std::lock_guard guard(lock_);
    return view_;
}

Bitmap HeadlessWindowHost::presentedPixels() {
    std::lock_guard guard(displayLock_);
    return presented_;
}

void HeadlessWindowHost::post(WindowMessage message) {
    {
        std::lock_guard guard(lock_);
        queue_.push_back(message);
    }
    messageArrived_.notify_one();
}

void HeadlessWindowHost::wake() {
    // Taking the lock orders this wake after the window thread's look at the call queue, or
    // before it: either way the call is seen.
    { std::lock_guard guard(lock_); }
    messageArrived_.notify_one();
}

void HeadlessWindowHost::present() {
    {
        std::lock_guard guard(displayLock_);
        presented_ = clientPixels_;
    }
    std::lock_guard guard(lock_);
    ++view_.presents;
}

} // namespace platform
