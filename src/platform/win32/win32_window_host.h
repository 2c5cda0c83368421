// The Win32 window host: the prompt window as a real Windows window.
//
// Implemented features:
//  [x] The window class registered with RegisterClassEx (the stock arrow cursor, the black
//      brush, the system's application icons), the window made with CreateWindowEx
//      (WS_EX_CLIENTEDGE and the caller's style), its messages read with GetMessage and handed
//      on with DispatchMessage on the window thread.
//  [x] WM_CREATE, WM_PAINT, WM_KEYDOWN, WM_SYSKEYDOWN, WM_CHAR, WM_SETFOCUS, WM_KILLFOCUS,
//      WM_CLOSE and WM_DESTROY reach the window procedure as the system sends them; everything
//      else, and what the procedure leaves to defaultProc, goes to DefWindowProc.
//  [x] Caption, style, position and repaint requests straight from any thread: Win32 carries
//      them over to the window thread itself.
//  [x] The small icon: the program's icon resource 102 (drawn from the same picture) when the
//      executable carries one, else an icon made from the pixels given.
//  [x] Presents: the client pixels drawn with StretchDIBits on WM_PAINT, and on a present
//      request (requests arriving before the window thread gets to them make one present).
//  [x] A whole-number presentation scale, nearest-neighbour: given, or from the window's DPI
//      (followed when it moves to another monitor), lowered until the window fits the screen.
//      The client pixels stay logical pixels.
//  [ ] Outer sizes are the classic Win32 frame's (clientSizeForOuter, window_frame.h): the
//      client area gets what that frame would leave, and the window takes whatever frame this
//      system draws around it (AdjustWindowRectEx), so the client is the same on every theme.
//
// Threads: the thread that calls open() is the window thread; it must also destroy the host,
// or the host must outlive it.
#pragma once

#include "platform/present_requests.h"
#include "platform/window_frame.h"
#include "platform/window_host.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

struct HWND__;
struct HICON__;

namespace platform {

class Win32WindowHost final : public WindowHost {
  public:
    // scale: the presentation scale, 1 to kMaxScale (presentation_scale.h); 0 takes it from the
    // window's DPI.
    explicit Win32WindowHost(int scale);
    ~Win32WindowHost() override;
    Win32WindowHost(const Win32WindowHost&) = delete;
    Win32WindowHost& operator=(const Win32WindowHost&) = delete;

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

    // The window procedure the class registers; public for the system to reach, nobody else.
    static std::intptr_t __stdcall receive(HWND__* window, unsigned message, std::uintptr_t wParam,
                                           std::intptr_t lParam);

  private:
    std::intptr_t handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void paint();
    void present(void* dc);
    // Sizes (unless SWP_NOSIZE) and moves (unless SWP_NOMOVE) the window around `client`.
    void place(int x, int y, ClientSize client, std::uint32_t flags);
    void resizeClient();
    void followDpi(unsigned dpi);

    // Window thread only.
    std::string className_;
    void* module_ = nullptr;
    WindowProc proc_ = nullptr;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    const int requestedScale_;
    HICON__* madeIcon_ = nullptr;

    // Set on the window thread, read anywhere.
    std::atomic<HWND__*> window_{nullptr};
    std::atomic<int> desiredScale_{1}; // requested, or from the DPI; the screen may allow less
    std::atomic<int> scale_{1};
    // The client size last asked for through setPosition, in logical pixels; 0 before.
    std::atomic<int> logicalWidth_{0};
    std::atomic<int> logicalHeight_{0};
    PresentRequests presents_;

    std::mutex displayLock_;
    Bitmap clientPixels_;
};

} // namespace platform
