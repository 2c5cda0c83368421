// The window seam: what the prompt window needs of a windowing system, with the window's
// messages numbered as Win32 numbers them so the window procedure reads the same everywhere.
//
// Implemented by: the SDL2 backend (a real desktop window), the Win32 backend (a real Windows
// window), the web backend (a canvas in a page) and the headless backend (tests: an in-memory
// window fed from a script of events).
//
// Threads: the window thread creates the window and runs its message loop (create, show,
// getMessage, dispatch, defaultProc, postQuit). Every other call may come from any thread; the
// ones that change the window are carried out on the window thread (like cross-thread window
// calls on Win32) and return once done. Never call them while holding displayLock(). In a page
// there is one thread and no loop of ours: the browser's event loop delivers the messages.
#pragma once

#include "platform/bitmap.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace platform {

inline constexpr std::uint32_t WM_CREATE = 0x0001;
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_SETFOCUS = 0x0007;
inline constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
inline constexpr std::uint32_t WM_PAINT = 0x000F;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_CHAR = 0x0102;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;

inline constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
inline constexpr std::uint32_t WS_THICKFRAME = 0x00040000;
inline constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;

inline constexpr std::uint32_t SWP_NOSIZE = 0x0001;
inline constexpr std::uint32_t SWP_NOMOVE = 0x0002;
inline constexpr std::uint32_t SWP_FRAMECHANGED = 0x0020;

// What a Win32 frame of this style adds around the client area: a 3-pixel fixed frame, a
// 19-pixel caption and a 2-pixel client edge. Outer sizes given to setPosition lose this much.
inline constexpr int kFrameExtraWidth = 2 * 3 + 2 * 2;
inline constexpr int kFrameExtraHeight = 19 + 2 * 3 + 2 * 2;

class WindowHost;

// A message as the system delivered it, at the system's own widths. The window procedure takes
// 32-bit parameters: the host narrows them for the messages it hands on, whose parameters fit.
struct WindowMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    // The system's window the message is for (Win32: an HWND, perhaps of the input method's);
    // null on hosts that know only the game's window.
    void* nativeWindow = nullptr;
};

using WindowProc = std::int32_t (*)(WindowHost& window, std::uint32_t message, std::uint32_t wParam,
                                    std::int32_t lParam);

struct WindowSpec {
    std::string caption;
    std::uint32_t style = 0;
};

class WindowHost {
  public:
    virtual ~WindowHost() = default;

    // --- window thread ---
    // Starts the windowing system on this thread for windows of class `className` (X11 takes
    // the class when the display opens, so it is named here and not at create()). False (and a
    // line on stderr) when there is no display to open.
    virtual bool open(const std::string& className) = 0;
    // The screen's size in pixels, known once open() succeeded.
    virtual int screenWidth() const = 0;
    virtual int screenHeight() const = 0;
    // Creates the window at the system's default place and size; WM_CREATE reaches `proc`
    // before this returns. False (and a line on stderr) when the system refuses the window.
    virtual bool create(const WindowSpec& wanted, WindowProc proc) = 0;
    virtual void show() = 0;
    // Waits for the next message. False once the quit message comes.
    virtual bool getMessage(WindowMessage& message) = 0;
    // Hands the message, whole, to the window procedure.
    virtual void dispatch(const WindowMessage& message) = 0;
    // What the window procedure leaves to the system: WM_CLOSE destroys the window (the
    // procedure then gets WM_DESTROY); other messages are answered with 0.
    virtual std::int32_t defaultProc(std::uint32_t message, std::uint32_t wParam,
                                     std::int32_t lParam) = 0;
    virtual void postQuit(int exitCode) = 0;

    // --- any thread, carried out on the window thread ---
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setSmallIcon(const Bitmap& icon) = 0;
    virtual std::uint32_t style() = 0;
    virtual void setStyle(std::uint32_t style) = 0;
    // Outer rectangle as on Win32 (the client area is clientSizeForOuter, window_frame.h);
    // flags SWP_*.
    virtual void setPosition(int x, int y, int outerWidth, int outerHeight,
                             std::uint32_t flags) = 0;
    // Asks for WM_PAINT of the whole client area; repeated requests before the paint merge.
    virtual void invalidate() = 0;

    // --- pixels ---
    // Guards clientPixels() and the window's back buffer: drawing and painting share it.
    virtual std::mutex& displayLock() = 0;
    // The client area's pixels (what the player sees), client-sized. Only under displayLock().
    virtual Bitmap& clientPixels() = 0;
    // Any thread, after changing clientPixels(): the window thread shows them soon, once for
    // many changes.
    virtual void requestPresent() = 0;
};

} // namespace platform
