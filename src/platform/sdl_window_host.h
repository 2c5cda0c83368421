// The SDL2 window host: the prompt window on a desktop.
//
// Implemented features:
//  [x] The window class through SDL_VIDEO_X11_WMCLASS, set by open() before SDL starts video.
//  [x] Caption (bytes beyond ASCII show as '?'), small icon, hidden until show().
//  [x] Key-downs as Win32 virtual-key codes (sdl_keys.h), auto-repeat included; Alt, keys held
//      with Alt and F10 as WM_SYSKEYDOWN. Keys without a virtual-key code are dropped.
//  [x] Text input as WM_CHAR: the first character of each text event.
//  [x] Expose and size changes as one merged WM_PAINT, delivered when nothing else is queued.
//  [x] Focus as WM_SETFOCUS / WM_KILLFOCUS. The close box, and SDL_QUIT (SIGINT, SIGTERM), as
//      WM_CLOSE.
//  [x] Calls from other threads carried out on the window thread; the caller waits for them.
//  [x] Presents: the client pixels copied to the window surface; requests arriving before the
//      window thread gets to them make one present.
//  [ ] Minimise and maximise boxes cannot be removed one by one: the style keeps its bits, and
//      only WS_THICKFRAME reaches the window (cleared: not resizable, which window managers take
//      as "no maximise"; a minimise box stays where the window manager draws one).
//  [ ] Frames belong to the window manager: outer sizes lose kFrameExtra*, and x, y place the
//      client area's corner.
//
// Threads: the thread that calls open() is the window thread and the only one making SDL video
// calls. Destroy the host on that thread, or after it has ended.
#pragma once

#include "platform/window_calls.h"
#include "platform/window_host.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

struct SDL_Window;
union SDL_Event;
struct SDL_WindowEvent;

namespace platform {

class SdlWindowHost final : public WindowHost {
  public:
    // The client size a new window gets, standing in for the system's default size.
    static constexpr int kDefaultClientWidth = 640;
    static constexpr int kDefaultClientHeight = 480;

    SdlWindowHost() = default;
    ~SdlWindowHost() override;
    SdlWindowHost(const SdlWindowHost&) = delete;
    SdlWindowHost& operator=(const SdlWindowHost&) = delete;

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

  private:
    bool translate(const SDL_Event& event, WindowMessage& message);
    bool translateWindowEvent(const SDL_WindowEvent& event, WindowMessage& message);
    void resizeClient(int width, int height);
    void present();
    void wake();

    // Window thread only.
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    WindowProc proc_ = nullptr;
    std::uint32_t style_ = 0;
    bool quitPosted_ = false;
    int exitCode_ = 0;
    int screenWidth_ = 0;
    int screenHeight_ = 0;

    // Set by open(), before any other thread can reach the host.
    std::uint32_t wakeEvent_ = 0;
    WindowCalls calls_;

    std::atomic<bool> paintPending_{false};
    std::atomic<bool> presentPending_{false};

    std::mutex displayLock_;
    Bitmap clientPixels_;
};

} // namespace platform
