#include "platform/sdl/sdl_window_host.h"

#include "platform/presentation_scale.h"
#include "platform/process_exit.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_pads.h"
#include "platform/sdl/sdl_x11_window.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace platform {
namespace {

void reportSdlFailure(const char* what) {
    std::fprintf(stderr, "kestrilon: %s: %s\n", what, SDL_GetError());
}

// How long after a move the window manager may still shift the window (placing it on map, or
// framing it late) and the move is made again.
constexpr std::uint32_t kPlacementSettleMs = 2000;

constexpr std::uint32_t kSizeRestoreIntervalMs = 1000;

// SDL's stand-ins for a screen: they start where no display is and show nothing to anyone.
constexpr std::array<std::string_view, 3> kInvisibleDrivers{"offscreen", "dummy", "evdev"};

bool isInvisible(std::string_view driver) {
    return std::find(kInvisibleDrivers.begin(), kInvisibleDrivers.end(), driver) !=
           kInvisibleDrivers.end();
}

// Wayland's socket is named by WAYLAND_DISPLAY as a path, or found in XDG_RUNTIME_DIR; with
// neither there is nothing to try, and the attempt would only add a line of its own on stderr.
bool mayReachWayland() {
    const char* named = std::getenv("WAYLAND_DISPLAY");
    return std::getenv("XDG_RUNTIME_DIR") != nullptr || (named != nullptr && named[0] == '/');
}

// Starts SDL's video on the driver the user named in SDL_VIDEODRIVER, or else on the first of
// SDL's drivers that reaches a real display. False, and one line on stderr, when none does.
bool startVideo() {
    if (const char* named = std::getenv("SDL_VIDEODRIVER"); named != nullptr && *named != 0) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            return true;
        }
        reportSdlFailure("cannot open a window");
        return false;
    }
    std::string tried;
    for (int index = 0; index < SDL_GetNumVideoDrivers(); ++index) {
        const char* driver = SDL_GetVideoDriver(index);
        if (isInvisible(driver) || (std::string_view(driver) == "wayland" && !mayReachWayland())) {
            continue;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            return true;
        }
        tried += (tried.empty() ? "" : ", ") + std::string(driver);
    }
    std::fprintf(stderr, "kestrilon: no display: set DISPLAY or WAYLAND_DISPLAY (tried %s)\n",
                 tried.c_str());
    return false;
}

// SDL wants UTF-8; the game's captions are single-byte text, and only their ASCII is certain to
// mean the same in both.
std::string titleText(const std::string& caption) {
    std::string title = caption;
    std::replace_if(
        title.begin(), title.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; },
        '?');
    return title;
}

// lParam of a key-down: the repeat count 1, bit 29 for Alt held, bit 30 when the key was
// already down (auto-repeat), as Win32 packs it.
std::int32_t keyDownParam(const SDL_KeyboardEvent& key) {
    std::int32_t param = 1;
    if ((key.keysym.mod & KMOD_ALT) != 0) {
        param |= 1 << 29;
    }
    if (key.repeat != 0) {
        param |= 1 << 30;
    }
    return param;
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

} // namespace

SdlWindowHost::SdlWindowHost(int scale) : scaleRequest_{scale} {}

SdlWindowHost::~SdlWindowHost() {
    hideWhileEnding({});
    pads_.reset();
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
    }
    if (videoStarted_) {
        SDL_Quit();
    }
}

bool SdlWindowHost::open(const std::string& className) {
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", className.c_str(), 1);
    // An input method would take X and Z as text before they became key-downs; the game reads
    // key-downs only.
    SDL_setenv("XMODIFIERS", "@im=none", 1);
    // Our pixels are a software raster: presenting them through a GL texture gains nothing, and
    // SDL would recreate the window to get GL on it, losing its place and size.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A game that waits at its title is no reason to keep the screen lit.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // SIGINT and SIGTERM end the process (termination_signals.h); SDL's handlers would only
    // queue a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    useScreenOfDisplayName();
    if (!startVideo()) {
        return false;
    }
    videoStarted_ = true;
    SDL_StopTextInput();
    SDL_EventState(SDL_TEXTINPUT, SDL_DISABLE);
    SDL_EventState(SDL_TEXTEDITING, SDL_DISABLE);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        reportSdlFailure("cannot read the screen size");
        return false;
    }
    screenWidth_ = mode.w;
    screenHeight_ = mode.h;
    wakeEvent_ = SDL_RegisterEvents(1);
    if (wakeEvent_ == static_cast<std::uint32_t>(-1)) {
        reportSdlFailure("cannot register the window's events");
        return false;
    }
    calls_.bindToCurrentThread();
    return true;
}

bool SdlWindowHost::create(const WindowSpec& wanted, WindowProc proc) {
    std::uint32_t flags = SDL_WINDOW_HIDDEN;
    if ((wanted.style & WS_THICKFRAME) != 0) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    window_ =
        SDL_CreateWindow(titleText(wanted.caption).c_str(), SDL_WINDOWPOS_UNDEFINED,
                         SDL_WINDOWPOS_UNDEFINED, kDefaultClientWidth, kDefaultClientHeight, flags);
    if (window_ == nullptr) {
        reportSdlFailure("cannot create the window");
        return false;
    }
    // Where a backend must recreate the window to give it a surface, it does so now, before
    // anything has been set on the window.
    if (SDL_GetWindowSurface(window_) == nullptr) {
        reportSdlFailure("cannot draw into the window");
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    proc_ = proc;
    style_ = wanted.style;
    offerWindowFunctions(window_, style_);
    passOverErrorsOfGoneWindow();
    desktopScale_ = desktopScale(std::getenv("GDK_SCALE"), desktopDpi(window_));
    resizeClient({kDefaultClientWidth, kDefaultClientHeight});
    // A signal ends the process from a thread of its own; the window goes at once, not when the
    // end has waited for a save.
    hideWhileEnding([this] {
        if (!hidingDue_.exchange(true) && !calls_.onWindowThread()) {
            wake();
        }
    });
    proc_(*this, WM_CREATE, 0, 0);
    return true;
}

void SdlWindowHost::show() {
    if (window_ != nullptr) {
        SDL_ShowWindow(window_);
    }
    paintPending_ = true;
}

bool SdlWindowHost::getMessage(WindowMessage& message) {
    for (;;) {
        if (quitPosted_) {
            message = {WM_QUIT, static_cast<std::uint32_t>(exitCode_), 0};
            return false;
        }
        if (hidingDue_ && window_ != nullptr) {
            SDL_HideWindow(window_);
        }
        calls_.runQueued();
        // Controllers once the window has painted: starting them takes milliseconds the first
        // picture need not wait for.
        if (pads_ == nullptr && painted_) {
            pads_ = std::make_unique<SdlPads>([this] { controllersStirred(); });
        }
        if (padsDue_.exchange(false) && pads_ != nullptr) {
            pads_->update();
        }
        restoreSizeWhenDue();
        if (presents_.take()) {
            present();
        }
        SDL_Event event;
        if (SDL_PollEvent(&event) == 0) {
            // Like the system's, a paint waits until nothing else is queued, so requests merge.
            if (paintPending_.exchange(false)) {
                painted_ = true;
                message = {WM_PAINT, 0, 0};
                return true;
            }
            if (sizeRestoreDue_) {
                const std::uint32_t wait = nextSizeRestore_ - SDL_GetTicks();
                if (SDL_WaitEventTimeout(&event, static_cast<int>(std::min(wait, 1000u))) == 0) {
                    continue;
                }
            } else if (SDL_WaitEvent(&event) == 0) {
                reportSdlFailure("cannot wait for events");
                message = {WM_QUIT, 0, 0};
                return false;
            }
        }
        if (translate(event, message)) {
            return true;
        }
    }
}

void SdlWindowHost::dispatch(const WindowMessage& message) {
    if (proc_ != nullptr) {
        proc_(*this, message.message, static_cast<std::uint32_t>(message.wParam),
              static_cast<std::int32_t>(message.lParam));
    }
}

std::int32_t SdlWindowHost::defaultProc(std::uint32_t message, std::uint32_t, std::int32_t) {
    if (message == WM_CLOSE && window_ != nullptr) {
        proc_(*this, WM_DESTROY, 0, 0);
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    return 0;
}

void SdlWindowHost::postQuit(int exitCode) {
    quitPosted_ = true;
    exitCode_ = exitCode;
}

void SdlWindowHost::setCaption(const std::string& caption) {
    calls_.run(
        [&] {
            if (window_ != nullptr) {
                SDL_SetWindowTitle(window_, titleText(caption).c_str());
            }
        },
        [this] { wake(); });
}

void SdlWindowHost::setSmallIcon(const Bitmap& icon) {
    calls_.run(
        [&] {
            if (window_ == nullptr || icon.empty()) {
                return;
            }
            // SDL only reads the pixels, and copies them before this returns.
            std::unique_ptr<SDL_Surface, SurfaceDeleter> surface(SDL_CreateRGBSurfaceWithFormatFrom(
                const_cast<std::uint32_t*>(icon.pixels.data()), icon.width, icon.height, 32,
                icon.width * 4, SDL_PIXELFORMAT_RGB888));
            if (surface != nullptr) {
                SDL_SetWindowIcon(window_, surface.get());
            }
        },
        [this] { wake(); });
}

std::uint32_t SdlWindowHost::style() {
    std::uint32_t result = 0;
    calls_.run([&] { result = style_; }, [this] { wake(); });
    return result;
}

void SdlWindowHost::setStyle(std::uint32_t style) {
    calls_.run(
        [&] {
            style_ = style;
            if (window_ != nullptr) {
                SDL_SetWindowResizable(window_,
                                       (style & WS_THICKFRAME) != 0 ? SDL_TRUE : SDL_FALSE);
                offerWindowFunctions(window_, style_);
            }
        },
        [this] { wake(); });
}

void SdlWindowHost::setPosition(int x, int y, int outerWidth, int outerHeight,
                                std::uint32_t flags) {
    calls_.run(
        [&] {
            if (window_ == nullptr) {
                return;
            }
            if ((flags & SWP_NOSIZE) == 0) {
                resizeClient(clientSizeForOuter(outerWidth, outerHeight));
                paintPending_ = true;
            }
            if ((flags & SWP_NOMOVE) == 0) {
                placement_ = {true, x, y, SDL_GetTicks() + kPlacementSettleMs};
                place();
            }
        },
        [this] { wake(); });
}

void SdlWindowHost::invalidate() {
    if (!paintPending_.exchange(true) && !calls_.onWindowThread()) {
        wake();
    }
}

void SdlWindowHost::requestPresent() {
    if (presents_.request() && !calls_.onWindowThread()) {
        wake();
    }
}

void SdlWindowHost::controllersStirred() {
    if (!padsDue_.exchange(true) && !calls_.onWindowThread()) {
        wake();
    }
}

bool SdlWindowHost::translate(const SDL_Event& event, WindowMessage& message) {
    // Once the window is gone, nothing is left to speak for.
    if (window_ == nullptr) {
        return false;
    }
    switch (event.type) {
    case SDL_KEYDOWN: {
        const std::uint32_t virtualKey =
            virtualKeyOf(event.key.keysym.sym, event.key.keysym.scancode);
        if (virtualKey == 0) {
            return false;
        }
        message = {keyDownMessage(virtualKey, event.key.keysym.mod), virtualKey,
                   keyDownParam(event.key)};
        return true;
    }
    case SDL_SYSWMEVENT:
        // A window another client destroyed was closed all the same.
        if (isWindowDestroyed(*event.syswm.msg, window_)) {
            message = {WM_CLOSE, 0, 0};
            return true;
        }
        if (isFrameChange(*event.syswm.msg)) {
            keepPlacement();
        }
        return false;
    case SDL_WINDOWEVENT:
        return translateWindowEvent(event.window, message);
    case SDL_QUIT:
        message = {WM_CLOSE, 0, 0};
        return true;
    default:
        return pads_ != nullptr && pads_->translate(event, message);
    }
}

bool SdlWindowHost::translateWindowEvent(const SDL_WindowEvent& event, WindowMessage& message) {
    switch (event.event) {
    case SDL_WINDOWEVENT_EXPOSED:
        paintPending_ = true;
        return false;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        keepSize(event.data1, event.data2);
        paintPending_ = true;
        return false;
    case SDL_WINDOWEVENT_MOVED:
        keepPlacement();
        return false;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        message = {WM_SETFOCUS, 0, 0};
        return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        message = {WM_KILLFOCUS, 0, 0};
        return true;
    case SDL_WINDOWEVENT_CLOSE:
        message = {WM_CLOSE, 0, 0};
        return true;
    default:
        return false;
    }
}

void SdlWindowHost::resizeClient(ClientSize size) {
    resizeClientPixels(displayLock_, clientPixels_, size);
    scale_ = windowScale(scaleRequest_, desktopScale_, size.width, size.height, screenWidth_,
                         screenHeight_);
    SDL_SetWindowSize(window_, size.width * scale_, size.height * scale_);
}

void SdlWindowHost::keepSize(int width, int height) {
    // The client pixels keep the size the game gave them whatever size others give the window,
    // and the present paints the rest black. A window that is not resizable also asks for its
    // size back (SDL would otherwise back the whole of a huge window with pixels), at most once
    // a second, so that a window manager insisting on another size is not argued with in a loop.
    sizeRestoreDue_ = (style_ & WS_THICKFRAME) == 0 && (width != clientPixels_.width * scale_ ||
                                                        height != clientPixels_.height * scale_);
    restoreSizeWhenDue();
}

void SdlWindowHost::restoreSizeWhenDue() {
    if (!sizeRestoreDue_ || window_ == nullptr ||
        !SDL_TICKS_PASSED(SDL_GetTicks(), nextSizeRestore_)) {
        return;
    }
    sizeRestoreDue_ = false;
    nextSizeRestore_ = SDL_GetTicks() + kSizeRestoreIntervalMs;
    SDL_SetWindowSize(window_, clientPixels_.width * scale_, clientPixels_.height * scale_);
}

void SdlWindowHost::place() {
    // SDL places the client area; the window manager's frame goes around it, so the client goes
    // that far in for the frame's corner to be at the place asked for. Without a window manager
    // the frame is empty and the client is at the place itself.
    int top = 0;
    int left = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, nullptr, nullptr) != 0) {
        top = 0;
        left = 0;
    }
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    if (x != placement_.x + left || y != placement_.y + top) {
        SDL_SetWindowPosition(window_, placement_.x + left, placement_.y + top);
    }
}

void SdlWindowHost::keepPlacement() {
    if (!placement_.settling || window_ == nullptr) {
        return;
    }
    if (SDL_TICKS_PASSED(SDL_GetTicks(), placement_.settledAt)) {
        placement_.settling = false;
        return;
    }
    place();
}

void SdlWindowHost::present() {
    if (window_ == nullptr) {
        return;
    }
    // Past the screen nobody sees the window, and SDL would back all of it with pixels: a window
    // made that large by others waits for its size to come back (keepSize) before it is shown.
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    if (width > std::max(screenWidth_, clientPixels_.width * scale_) ||
        height > std::max(screenHeight_, clientPixels_.height * scale_)) {
        return;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr) {
        return;
    }
    {
        std::lock_guard guard(displayLock_);
        // SDL only reads the pixels, within this block.
        std::unique_ptr<SDL_Surface, SurfaceDeleter> client(SDL_CreateRGBSurfaceWithFormatFrom(
            clientPixels_.pixels.data(), clientPixels_.width, clientPixels_.height, 32,
            clientPixels_.width * 4, SDL_PIXELFORMAT_RGB888));
        if (client == nullptr) {
            return;
        }
        SDL_Rect shown{0, 0, clientPixels_.width * scale_, clientPixels_.height * scale_};
        SDL_BlitScaled(client.get(), nullptr, surface, &shown);
        // Where the window is larger than the game's pixels (a foreign resize), black.
        const std::uint32_t black = SDL_MapRGB(surface->format, 0, 0, 0);
        const SDL_Rect right{shown.w, 0, surface->w - shown.w, surface->h};
        const SDL_Rect below{0, shown.h, shown.w, surface->h - shown.h};
        SDL_FillRect(surface, &right, black);
        SDL_FillRect(surface, &below, black);
    }
    SDL_UpdateWindowSurface(window_);
}

void SdlWindowHost::wake() {
    SDL_Event event{};
    event.type = wakeEvent_;
    // A failed push (a full queue) only delays the work: the window thread looks at its calls
    // and present requests whenever any event wakes it.
    SDL_PushEvent(&event);
}

} // namespace platform
