// The SDL2 window host: the prompt window on a desktop.
//
// Implemented features:
//  [x] The window class through SDL_VIDEO_X11_WMCLASS, set by open() before SDL starts video.
//  [x] Caption (bytes beyond ASCII show as '?'), small icon, hidden until show().
//  [x] Key-downs as Win32 virtual-key codes (sdl_keys.h), auto-repeat included; Alt, keys held
//      with Alt and F10 as WM_SYSKEYDOWN. Keys without a virtual-key code are dropped.
//  [x] Controllers (sdl_pads.h): their buttons as the keys pad_keys.h names, plugged in or out
//      at any time, read only when their devices stir.
//  [ ] No WM_CHAR: text input stays off, so that no input method can take the game's keys (the
//      window procedure has no use for characters).
//  [x] Expose and size changes as one merged WM_PAINT, delivered when nothing else is queued.
//  [x] Focus as WM_SETFOCUS / WM_KILLFOCUS. The close box as WM_CLOSE. No signal handlers:
//      termination signals are the composition root's (termination_signals.h); the window is
//      hidden while the process ends (process_exit.h).
//  [x] Only real displays: SDL's offscreen and dummy drivers are refused unless SDL_VIDEODRIVER
//      names one.
//  [x] Calls from other threads carried out on the window thread; the caller waits for them.
//  [x] Presents: the client pixels shown `scale` times larger, nearest-neighbour, the rest of a
//      larger window black; requests arriving before the window thread gets to them make one
//      present. The client pixels keep the size the game gives them whatever others do to the
//      window, and a window without WS_THICKFRAME asks for its own size back.
//  [x] The style's boxes (WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_THICKFRAME) as the functions the
//      window manager offers (Motif hints, on X11); WS_THICKFRAME also as SDL's resizable flag.
//  [x] x, y place the window manager's frame (its corner at x, y, the client inside it), kept
//      there while the window manager settles the window after a move.
//  [ ] Outer sizes lose the classic frame (clientSizeForOuter) whatever frame the window manager
//      draws.
//
// Threads: the thread that calls open() is the window thread and the only one making SDL video
// calls. Destroy the host on that thread, or after it has ended.
#pragma once

#include "platform/present_requests.h"
#include "platform/presentation_scale.h"
#include "platform/window_calls.h"
#include "platform/window_frame.h"
#include "platform/window_host.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct SDL_Window;
union SDL_Event;
struct SDL_WindowEvent;

namespace platform {

class SdlPads;

class SdlWindowHost final : public WindowHost {
  public:
    // The client size a new window gets, standing in for the system's default size.
    static constexpr int kDefaultClientWidth = 640;
    static constexpr int kDefaultClientHeight = 480;

    // `scale`: how many times larger the window is shown (1..kMaxScale), else the desktop's
    // scale (0); either as large as fits the screen (windowScale).
    explicit SdlWindowHost(int scale = 0);
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

    // --- any thread; this host's own, not WindowHost's ---
    // A controller may have something to read (a press, a plug): this only marks the
    // controllers due and wakes the window thread, which reads them all at its next turn. The
    // controllers' watch calls it from its own thread; whoever presses a virtual controller,
    // which has no device to watch, calls it after each press.
    void controllersStirred();

  private:
    bool translate(const SDL_Event& event, WindowMessage& message);
    bool translateWindowEvent(const SDL_WindowEvent& event, WindowMessage& message);
    void resizeClient(ClientSize size);
    void keepSize(int width, int height);
    void restoreSizeWhenDue();
    void place();
    void keepPlacement();
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
    ScaleRequest scaleRequest_;
    int desktopScale_ = 1;
    int scale_ = 1;
    bool painted_ = false;
    std::unique_ptr<SdlPads> pads_;
    bool sizeRestoreDue_ = false;
    std::uint32_t nextSizeRestore_ = 0;
    struct Placement {
        bool settling = false;
        int x = 0;
        int y = 0;
        std::uint32_t settledAt = 0;
    } placement_;

    // Set by open(), before any other thread can reach the host.
    std::uint32_t wakeEvent_ = 0;
    WindowCalls calls_;

    std::atomic<bool> paintPending_{false};
    std::atomic<bool> padsDue_{false};
    std::atomic<bool> hidingDue_{false};
    PresentRequests presents_;

    std::mutex displayLock_;
    Bitmap clientPixels_;
};

} // namespace platform
