#include "platform/web/web_window_host.h"

#include "platform/web/web_pads.h"

#include <emscripten.h>

#include <cstdio>

namespace {

// lParam of a key-down: a repeat count of 1; system keys also carry the Alt context bit.
constexpr std::int32_t kKeyDownParam = 1;
constexpr std::int32_t kSystemKeyDownParam = kKeyDownParam | (1 << 29);

// The page has one window; the page's callbacks find it here.
platform::WebWindowHost* pageHost = nullptr;

// clang-format off
// Takes the canvas and the page's keys. Key-downs go to kestrilon_key_down as the desktop's
// virtual-key codes (the browser's keyCode); resizing and a change of screen redraw the last
// picture at the new scale. 0 when the page has no canvas for the game.
EM_JS(int, pageOpen, (), {
    const canvas = document.getElementById("kestrilon");
    if (!canvas) {
        return 0;
    }
    const page = {canvas: canvas, picture: document.createElement("canvas")};
    Module.kestrilonPage = page;
    page.layout = function() {
        const picture = page.picture;
        if (picture.width === 0 || picture.height === 0) {
            return;
        }
        const box = canvas.parentElement;
        const fits = Math.min(Math.floor(box.clientWidth / picture.width),
                              Math.floor(box.clientHeight / picture.height));
        const ratio = window.devicePixelRatio || 1;
        // Whole device pixels for every logical one, so the LCD's edges stay sharp.
        const scale = Math.max(1, Math.floor(Math.max(1, fits) * ratio));
        // A canvas given a size, even its own, is cleared and its memory made anew.
        if (canvas.width !== picture.width * scale || canvas.height !== picture.height * scale) {
            canvas.width = picture.width * scale;
            canvas.height = picture.height * scale;
        }
        canvas.style.width = (canvas.width / ratio) + "px";
        canvas.style.height = (canvas.height / ratio) + "px";
        // Centred on whole pixels: half a pixel off would blur every edge.
        const margin = function(room, size) {
            return Math.max(0, Math.floor((room - size / ratio) / 2)) + "px";
        };
        canvas.style.marginLeft = margin(box.clientWidth, canvas.width);
        canvas.style.marginTop = margin(box.clientHeight, canvas.height);
        const context = canvas.getContext("2d");
        context.imageSmoothingEnabled = false;
        context.drawImage(picture, 0, 0, canvas.width, canvas.height);
    };
    window.addEventListener("resize", page.layout);
    const watchRatio = function() {
        matchMedia("(resolution: " + window.devicePixelRatio + "dppx)")
            .addEventListener("change", function() { page.layout(); watchRatio(); }, {once: true});
    };
    watchRatio();
    window.addEventListener("keydown", function(event) {
        const system = event.altKey || event.keyCode === 18 || event.keyCode === 121;
        _kestrilon_key_down(event.keyCode, system ? 1 : 0);
        const browsers = event.ctrlKey || event.metaKey || (event.keyCode >= 112 && event.keyCode <= 123);
        if (!browsers) {
            event.preventDefault();
        }
    });
    canvas.tabIndex = 0;
    canvas.focus();
    return 1;
});

EM_JS(int, pageScreenWidth, (), { return screen.width; });
EM_JS(int, pageScreenHeight, (), { return screen.height; });

EM_JS(void, pageSetTitle, (const char* title), { document.title = UTF8ToString(title); });

EM_JS(void, pageAskForFrame, (), {
    requestAnimationFrame(function() { _kestrilon_frame(); });
});

// Shows a picture of width × height RGBA pixels at `rgba`.
EM_JS(void, pageShow, (const std::uint8_t* rgba, int width, int height), {
    const page = Module.kestrilonPage;
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    if (page.picture.width !== width || page.picture.height !== height) {
        page.picture.width = width;
        page.picture.height = height;
    }
    page.picture.getContext("2d").putImageData(new ImageData(bytes, width, height), 0, 0);
    page.layout();
});
// clang-format on

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void kestrilon_key_down(int virtualKey, int system) {
    if (pageHost != nullptr && virtualKey > 0 && virtualKey <= 0xFF) {
        pageHost->keyDown(static_cast<std::uint32_t>(virtualKey), system != 0);
    }
}

EMSCRIPTEN_KEEPALIVE void kestrilon_frame() {
    if (pageHost != nullptr) {
        pageHost->frame();
    }
}

} // extern "C"

namespace platform {

WebWindowHost::~WebWindowHost() {
    if (pageHost == this) {
        pageHost = nullptr;
    }
}

bool WebWindowHost::open(const std::string&) {
    if (pageHost != nullptr) {
        std::fputs("kestrilon: the page has its window already\n", stderr);
        return false;
    }
    if (pageOpen() == 0) {
        std::fputs("kestrilon: the page has no canvas with the id \"kestrilon\"\n", stderr);
        return false;
    }
    pageHost = this;
    readPadsInto(*this);
    screenWidth_ = pageScreenWidth();
    screenHeight_ = pageScreenHeight();
    return true;
}

bool WebWindowHost::create(const WindowSpec& wanted, WindowProc proc) {
    proc_ = proc;
    style_ = wanted.style;
    setCaption(wanted.caption);
    {
        std::lock_guard guard(displayLock_);
        clientPixels_ = Bitmap(kDefaultClientWidth, kDefaultClientHeight);
    }
    proc_(*this, WM_CREATE, 0, 0);
    return true;
}

void WebWindowHost::show() {
    invalidate();
}

bool WebWindowHost::getMessage(WindowMessage&) {
    return false;
}

void WebWindowHost::dispatch(const WindowMessage& message) {
    if (proc_ != nullptr) {
        proc_(*this, message.message, static_cast<std::uint32_t>(message.wParam),
              static_cast<std::int32_t>(message.lParam));
    }
}

std::int32_t WebWindowHost::defaultProc(std::uint32_t, std::uint32_t, std::int32_t) {
    return 0;
}

void WebWindowHost::postQuit(int) {}

void WebWindowHost::setCaption(const std::string& caption) {
    pageSetTitle(caption.c_str());
}

void WebWindowHost::setSmallIcon(const Bitmap&) {}

void WebWindowHost::setPosition(int, int, int outerWidth, int outerHeight, std::uint32_t flags) {
    if ((flags & SWP_NOSIZE) != 0) {
        return;
    }
    resizeClientPixels(displayLock_, clientPixels_, clientSizeForOuter(outerWidth, outerHeight));
    invalidate();
}

void WebWindowHost::invalidate() {
    paintPending_ = true;
    askForFrame();
}

void WebWindowHost::requestPresent() {
    if (presents_.request()) {
        askForFrame();
    }
}

void WebWindowHost::keyDown(std::uint32_t virtualKey, bool system) {
    dispatch({system ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey,
              system ? kSystemKeyDownParam : kKeyDownParam});
}

// The paint asks for a present, which this same frame makes.
void WebWindowHost::frame() {
    if (paintPending_) {
        paintPending_ = false;
        dispatch({WM_PAINT, 0, 0});
    }
    if (presents_.take()) {
        present();
    }
    frameAsked_ = false;
}

void WebWindowHost::askForFrame() {
    if (!frameAsked_) {
        frameAsked_ = true;
        pageAskForFrame();
    }
}

void WebWindowHost::present() {
    std::lock_guard guard(displayLock_);
    const int width = clientPixels_.width;
    const int height = clientPixels_.height;
    if (width <= 0 || height <= 0) {
        return;
    }
    rgba_.resize(static_cast<std::size_t>(width) * height * 4);
    auto out = rgba_.begin();
    for (const std::uint32_t rgb : clientPixels_.pixels) {
        *out++ = static_cast<std::uint8_t>(rgb >> 16);
        *out++ = static_cast<std::uint8_t>(rgb >> 8);
        *out++ = static_cast<std::uint8_t>(rgb);
        *out++ = 0xFF;
    }
    pageShow(rgba_.data(), width, height);
}

} // namespace platform
