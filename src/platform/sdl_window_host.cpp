#include "platform/sdl_window_host.h"

#include "platform/sdl_keys.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace platform {
namespace {

// Bounds what a caller's outer size can make the client pixels cost.
constexpr int kMaxClientSide = 16384;

void reportSdlFailure(const char* what) {
    std::fprintf(stderr, "kestrilon: %s: %s\n", what, SDL_GetError());
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

// The first character of SDL's UTF-8 text; 0 when the text is empty or malformed.
std::uint32_t firstCharacter(const char* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = bytes[0];
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    std::uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        code = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        code = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    for (int i = 1; i <= extra; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (bytes[i] & 0x3Fu);
    }
    return code;
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

SdlWindowHost::~SdlWindowHost() {
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
    }
    if (videoStarted_) {
        SDL_Quit();
    }
}

bool SdlWindowHost::open(const std::string& className) {
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", className.c_str(), 1);
    // Our pixels are a software raster: presenting them through a GL texture gains nothing, and
    // SDL would recreate the window to get GL on it, losing its place and size.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        reportSdlFailure("cannot open a window");
        return false;
    }
    videoStarted_ = true;
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
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    resizeClient(width, height);
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
        calls_.runQueued();
        if (presentPending_.exchange(false)) {
            present();
        }
        SDL_Event event;
        if (SDL_PollEvent(&event) == 0) {
            // Like the system's, a paint waits until nothing else is queued, so requests merge.
            if (paintPending_.exchange(false)) {
                message = {WM_PAINT, 0, 0};
                return true;
            }
            if (SDL_WaitEvent(&event) == 0) {
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
        proc_(*this, message.message, message.wParam, message.lParam);
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
            if ((flags & SWP_NOMOVE) == 0) {
                SDL_SetWindowPosition(window_, x, y);
            }
            if ((flags & SWP_NOSIZE) == 0) {
                SDL_SetWindowSize(window_,
                                  std::clamp(outerWidth - kFrameExtraWidth, 1, kMaxClientSide),
                                  std::clamp(outerHeight - kFrameExtraHeight, 1, kMaxClientSide));
                int width = 0;
                int height = 0;
                SDL_GetWindowSize(window_, &width, &height);
                resizeClient(width, height);
                paintPending_ = true;
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
    // One wake-up for however many requests come before the window thread gets to them: the
    // game draws a row as a burst of blits, and each would otherwise be a present of its own.
    if (!presentPending_.exchange(true) && !calls_.onWindowThread()) {
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
    case SDL_TEXTINPUT: {
        const std::uint32_t character = firstCharacter(event.text.text);
        if (character == 0) {
            return false;
        }
        message = {WM_CHAR, character, 1};
        return true;
    }
    case SDL_WINDOWEVENT:
        return translateWindowEvent(event.window, message);
    case SDL_QUIT:
        message = {WM_CLOSE, 0, 0};
        return true;
    default:
        return false;
    }
}

bool SdlWindowHost::translateWindowEvent(const SDL_WindowEvent& event, WindowMessage& message) {
    switch (event.event) {
    case SDL_WINDOWEVENT_EXPOSED:
        paintPending_ = true;
        return false;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        resizeClient(event.data1, event.data2);
        paintPending_ = true;
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

void SdlWindowHost::resizeClient(int width, int height) {
    width = std::clamp(width, 0, kMaxClientSide);
    height = std::clamp(height, 0, kMaxClientSide);
    std::lock_guard guard(displayLock_);
    if (clientPixels_.width != width || clientPixels_.height != height) {
        clientPixels_ = Bitmap(width, height);
    }
}

void SdlWindowHost::present() {
    if (window_ == nullptr) {
        return;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr) {
        return;
    }
    {
        std::lock_guard guard(displayLock_);
        const int width = std::min(surface->w, clientPixels_.width);
        const int height = std::min(surface->h, clientPixels_.height);
        if (width > 0 && height > 0) {
            SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, clientPixels_.pixels.data(),
                              clientPixels_.width * 4, surface->format->format, surface->pixels,
                              surface->pitch);
        }
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
