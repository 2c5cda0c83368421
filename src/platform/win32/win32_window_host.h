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
//  [x] Caption, style and repaint requests straight from any thread: Win32 carries them over
//      to the window thread itself. Position requests are sent to the window thread as a
//      message of ours, since placing the window takes the scale the window thread keeps.
//  [x] The small icon: the program's icon resource 102 (drawn from the same picture) when the
//      executable carries one, else an icon made from the pixels given.
//  [x] Presents: the client pixels drawn with StretchDIBits on WM_PAINT, and on a present
//      request (requests arriving before the window thread gets to them make one present).
//  [x] A whole-number presentation scale, nearest-neighbour: given, or the window's DPI / 96
//      rounded to the nearest, lowered until the window fits its monitor's work area. On a DPI
//      change (another monitor, another setting) the window takes the scale (unless given) and
//      the frame of the new DPI, centred where the system suggests, within the work area of the
//      monitor it chose. The client pixels stay logical pixels.
//  [x] No input method: its context is taken off the window, and a key one claims anyway
//      (VK_PROCESSKEY) reaches the procedure as the key it was.
//  [x] Controllers through XInput (xinput_pads.h), looked for once the game has placed the
//      window and when devices have come or gone (WM_DEVICECHANGE), read once a frame (a timer)
//      only while one is connected; their presses reach the procedure as WM_KEYDOWN of the keys
//      pad_keys.h names.
//  [ ] Outer sizes are the classic Win32 frame's (clientSizeForOuter, window_frame.h): the
//      client area gets what that frame would leave, and the window takes whatever frame this
//      system draws around it at its DPI (AdjustWindowRectExForDpi), so the client is exactly
//      the game's pixels times the scale on every theme and monitor.
//
// Threads: the thread that calls open() is the window thread; it must also destroy the host,
// or the host must outlive it.
#pragma once

#include "platform/present_requests.h"
#include "platform/presentation_scale.h"
#include "platform/win32/xinput_pads.h"
#include "platform/window_frame.h"
#include "platform/window_host.h"
#include "platform/window_placement.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

struct HWND__;
struct HICON__;
struct tagRECT;

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
    // A setPosition, carried to the window thread.
    struct PlaceRequest {
        int x = 0;
        int y = 0;
        ClientSize client;
        std::uint32_t flags = 0;
    };

    std::intptr_t handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void paint();
    void present(void* dc);
    // Sizes (unless SWP_NOSIZE) and moves (unless SWP_NOMOVE) the window around the client.
    void place(const PlaceRequest& request);
    void resizeClient();
    // The window around the client the game asked for, at the scale for `dpi` that fits
    // `workArea`, the frame's corner at (x, y); the scale is taken (and its lowering said).
    WindowPlacement fitWindow(int x, int y, unsigned dpi, const ScreenRect& workArea);
    void moveTo(const ScreenRect& outer, std::uint32_t flags);
    // WM_DPICHANGED: the new DPI and the rectangle the system suggests.
    void followDpi(unsigned dpi, const tagRECT& suggested);
    // Reads the controllers each frame while one is connected, and not at all while none is.
    void findPads();
    void readPads();

    // Window thread only.
    std::string className_;
    void* module_ = nullptr;
    WindowProc proc_ = nullptr;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    ScaleRequest scaleRequest_;
    int scale_ = 1;
    // The client size last asked for through setPosition, in logical pixels; 0 before.
    int logicalWidth_ = 0;
    int logicalHeight_ = 0;
    HICON__* madeIcon_ = nullptr;
    XInputPads pads_;

    // Set on the window thread, read anywhere.
    std::atomic<HWND__*> window_{nullptr};
    PresentRequests presents_;

    std::mutex displayLock_;
    Bitmap clientPixels_;
};

} // namespace platform
