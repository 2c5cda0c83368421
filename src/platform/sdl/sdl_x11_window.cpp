#include "platform/sdl/sdl_x11_window.h"

#include "platform/presentation_scale.h"
#include "platform/window_host.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// The Motif window manager hints: five longs, as every window manager reads them.
struct MotifHints {
    unsigned long flags;
    unsigned long functions;
    unsigned long decorations;
    long inputMode;
    unsigned long status;
};

constexpr unsigned long kHintFunctions = 1;
constexpr unsigned long kHintDecorations = 2;
constexpr unsigned long kFunctionResize = 2;
constexpr unsigned long kFunctionMove = 4;
constexpr unsigned long kFunctionMinimize = 8;
constexpr unsigned long kFunctionMaximize = 16;
constexpr unsigned long kFunctionClose = 32;
constexpr unsigned long kDecorBorder = 2;
constexpr unsigned long kDecorResizeHandle = 4;
constexpr unsigned long kDecorTitle = 8;
constexpr unsigned long kDecorMenu = 16;
constexpr unsigned long kDecorMinimize = 32;
constexpr unsigned long kDecorMaximize = 64;

bool x11Of(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE &&
           info.subsystem == SDL_SYSWM_X11;
}

XErrorHandler handlerBefore = nullptr;

// The game names no windows but its own, its frame and the root: a window that is not there is
// one another client destroyed while requests about it were under way (SDL's own among them,
// which may name it after it went, or name none), and its closing is on its way as an event.
int passOverGoneWindow(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        return 0;
    }
    return handlerBefore != nullptr ? handlerBefore(display, error) : 0;
}

} // namespace

void useScreenOfDisplayName() {
    const char* name = std::getenv("DISPLAY");
    const char* colon = name != nullptr ? std::strrchr(name, ':') : nullptr;
    const char* dot = colon != nullptr ? std::strchr(colon, '.') : nullptr;
    if (dot != nullptr && std::strtol(dot + 1, nullptr, 10) != 0) {
        SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
    }
}

void offerWindowFunctions(SDL_Window* window, std::uint32_t style) {
    SDL_SysWMinfo info;
    if (!x11Of(window, info)) {
        return;
    }
    MotifHints hints{kHintFunctions | kHintDecorations, kFunctionMove | kFunctionClose,
                     kDecorBorder | kDecorTitle | kDecorMenu, 0, 0};
    if ((style & WS_MINIMIZEBOX) != 0) {
        hints.functions |= kFunctionMinimize;
        hints.decorations |= kDecorMinimize;
    }
    if ((style & WS_MAXIMIZEBOX) != 0) {
        hints.functions |= kFunctionMaximize;
        hints.decorations |= kDecorMaximize;
    }
    if ((style & WS_THICKFRAME) != 0) {
        hints.functions |= kFunctionResize;
        hints.decorations |= kDecorResizeHandle;
    }
    Display* display = info.info.x11.display;
    const Atom property = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, info.info.x11.window, property, property, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&hints), 5);
    XFlush(display);
}

int desktopDpi(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Of(window, info)) {
        return 0;
    }
    return xftDpiOf(XResourceManagerString(info.info.x11.display));
}

bool isFrameChange(const SDL_SysWMmsg& message) {
    if (message.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    const XEvent& event = message.msg.x11.event;
    if (event.type == ReparentNotify) {
        return true;
    }
    if (event.type != PropertyNotify) {
        return false;
    }
    const Atom extents = XInternAtom(event.xproperty.display, "_NET_FRAME_EXTENTS", True);
    return extents != None && event.xproperty.atom == extents;
}

bool isWindowDestroyed(const SDL_SysWMmsg& message, SDL_Window* window) {
    SDL_SysWMinfo info;
    return message.subsystem == SDL_SYSWM_X11 && message.msg.x11.event.type == DestroyNotify &&
           x11Of(window, info) &&
           message.msg.x11.event.xdestroywindow.window == info.info.x11.window;
}

void passOverErrorsOfGoneWindow() {
    if (XErrorHandler before = XSetErrorHandler(passOverGoneWindow); before != passOverGoneWindow) {
        handlerBefore = before;
    }
}

} // namespace platform
