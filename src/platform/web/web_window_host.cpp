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
// virtual-key codes; resizing, rotating, zooming and a change of screen redraw the last picture
// at the new scale. 0 when the page has no canvas for the game.
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
        const ratio = window.devicePixelRatio || 1;
        // In device pixels: at a ratio of 1.25 two device pixels a game pixel fit where a whole
        // number of CSS pixels would give one.
        const roomWidth = box.clientWidth * ratio;
        const roomHeight = box.clientHeight * ratio;
        const fits = Math.min(roomWidth / picture.width, roomHeight / picture.height);
        // Whole device pixels for every game pixel keep the LCD's edges sharp. Where not even one
        // fits, the picture is shown smaller than its pixels rather than cut.
        const scale = Math.max(1, Math.floor(fits));
        const shown = fits < 1 ? fits : scale;
        // A canvas given a size, even its own, is cleared and its memory made anew.
        if (canvas.width !== picture.width * scale || canvas.height !== picture.height * scale) {
            canvas.width = picture.width * scale;
            canvas.height = picture.height * scale;
        }
        const width = picture.width * shown;
        const height = picture.height * shown;
        canvas.style.width = (width / ratio) + "px";
        canvas.style.height = (height / ratio) + "px";
        // Centred on whole device pixels: half a pixel off would blur every edge.
        const margin = function(room, size) {
            return Math.max(0, Math.floor((room - size) / 2)) / ratio + "px";
        };
        canvas.style.marginLeft = margin(roomWidth, width);
        canvas.style.marginTop = margin(roomHeight, height);
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
    // The desktop's virtual-key codes of the keys it passes that have no letter or digit.
    const namedKeys = {
        Backspace: 0x08, Tab: 0x09, Enter: 0x0D, NumpadEnter: 0x0D, ShiftLeft: 0x10,
        ShiftRight: 0x10, ControlLeft: 0x11, ControlRight: 0x11, AltLeft: 0x12, AltRight: 0x12,
        Pause: 0x13, CapsLock: 0x14, Escape: 0x1B, Space: 0x20, PageUp: 0x21, PageDown: 0x22,
        End: 0x23, Home: 0x24, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28,
        PrintScreen: 0x2C, Insert: 0x2D, Delete: 0x2E, MetaLeft: 0x5B, MetaRight: 0x5C,
        ContextMenu: 0x5D, NumpadMultiply: 0x6A, NumpadAdd: 0x6B, NumpadSubtract: 0x6D,
        NumpadDecimal: 0x6E, NumpadDivide: 0x6F, NumLock: 0x90, ScrollLock: 0x91, Semicolon: 0xBA,
        Equal: 0xBB, Comma: 0xBC, Minus: 0xBD, Period: 0xBE, Slash: 0xBF, Backquote: 0xC0,
        BracketLeft: 0xDB, Backslash: 0xDC, BracketRight: 0xDD, Quote: 0xDE
    };
    // As the desktop: a letter as the layout names it, else the key's place (event.code), which
    // an input method that is composing (keyCode 229, key "Process") leaves as it is. 0 for a
    // key the desktop does not pass.
    page.virtualKey = function(event) {
        const code = event.code || "";
        const last = code.charAt(code.length - 1);
        const digit = last >= "0" && last <= "9";
        if (code.length === 7 && code.startsWith("Numpad") && digit) {
            return 0x60 + Number(last);
        }
        const letter = String(event.key).toUpperCase();
        if (letter.length === 1 && letter >= "A" && letter <= "Z") {
            return letter.charCodeAt(0);
        }
        if ((code.length === 4 && code.startsWith("Key")) ||
            (code.length === 6 && code.startsWith("Digit") && digit)) {
            return last.charCodeAt(0);
        }
        const functionKey = code.startsWith("F") ? Number(code.slice(1)) : 0;
        if (functionKey >= 1 && functionKey <= 24) {
            return 0x6F + functionKey;
        }
        return namedKeys[code] || 0;
    };
    // Enter, X, Z, E and Shift are the game's: nothing else of the browser's is taken (Tab still
    // moves the focus, Alt and Ctrl shortcuts still work).
    const gameKeys = [0x0D, 0x10, 0x45, 0x58, 0x5A];
    page.keyDown = function(event) {
        const key = page.virtualKey(event);
        if (key === 0) {
            return;
        }
        const system = event.altKey || key === 0x12 || key === 0x79;
        _kestrilon_key_down(key, system ? 1 : 0);
        if (gameKeys.includes(key) && !event.altKey && !event.ctrlKey && !event.metaKey) {
            event.preventDefault();
        }
    };
    window.addEventListener("keydown", page.keyDown);
    canvas.tabIndex = 0;
    canvas.focus();
    return 1;
});

EM_JS(int, pageScreenWidth, (), { return screen.width; });
EM_JS(int, pageScreenHeight, (), { return screen.height; });

EM_JS(void, pageSetTitle, (const char* title), { document.title = UTF8ToString(title); });

EM_JS(void, pageGameOver, (double score, const char* code, int replayed), {
    if (Module.kestrilonGameOver) {
        Module.kestrilonGameOver(score, UTF8ToString(code), replayed !== 0);
    }
});

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

void tellPageGameOver(double score, const std::string& gameCode, bool replayed) {
    pageGameOver(score, gameCode.c_str(), replayed ? 1 : 0);
}

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
