#include "platform/win32/win32_window_host.h"

#include "platform/presentation_scale.h"
#include "platform/window_placement.h"

#include <windows.h>

#include <imm.h>

#include <algorithm>
#include <cstdio>

namespace platform {
namespace {

// Asks the window thread for a present; merged through presents_.
constexpr UINT kPresentMessage = WM_APP + 1;
// Looks for controllers once the game has placed its window.
constexpr UINT kFindPadsMessage = WM_APP + 2;
// Reads the controllers, once a frame of the game.
constexpr UINT_PTR kPadTimer = 1;
constexpr UINT kPadReadMs = 17;
// Looks for controllers when devices have stopped coming and going for this long (the system
// tells every window of each change, unasked, and one plug makes several), since each look asks
// every slot.
constexpr UINT_PTR kFindPadsTimer = 2;
constexpr UINT kFindPadsDelayMs = 500;
// Sent with a PlaceRequest: the placement reads and writes the scale the window thread keeps.
constexpr UINT kPlaceMessage = WM_APP + 3;
constexpr int kSmallIconResource = 102;
constexpr unsigned kBaseDpi = 96;

void reportFailure(const char* what) {
    std::fprintf(stderr, "kestrilon: %s (Windows error %lu)\n", what,
                 static_cast<unsigned long>(GetLastError()));
}

// GetDpiForWindow exists from Windows 10 1607 on; before that the screen's DPI stands for all.
unsigned windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        return getDpiForWindow(window);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : kBaseDpi;
}

// What the window's frame adds around its client area at `dpi`. AdjustWindowRectExForDpi exists
// from Windows 10 1607 on; before that the frame has the one DPI the whole desktop has.
FrameInsets frameAt(HWND window, unsigned dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32"), "AdjustWindowRectExForDpi")));
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const auto extendedStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    RECT frame{0, 0, 0, 0};
    if (adjustForDpi == nullptr || !adjustForDpi(&frame, style, FALSE, extendedStyle, dpi)) {
        AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    }
    return {-frame.left, -frame.top, frame.right, frame.bottom};
}

ScreenRect workAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

} // namespace

Win32WindowHost::Win32WindowHost(int scale) : scaleRequest_{std::clamp(scale, 0, kMaxScale)} {}

Win32WindowHost::~Win32WindowHost() {
    if (HWND window = window_.load(); window != nullptr) {
        DestroyWindow(window);
    }
    if (madeIcon_ != nullptr) {
        DestroyIcon(madeIcon_);
    }
}

bool Win32WindowHost::open(const std::string& className) {
    className_ = className;
    module_ = GetModuleHandleA(nullptr);
    screenWidth_ = GetSystemMetrics(SM_CXSCREEN);
    screenHeight_ = GetSystemMetrics(SM_CYSCREEN);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(&Win32WindowHost::receive);
    windowClass.hInstance = static_cast<HINSTANCE>(module_);
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className_.c_str();
    // A second host in the same process (the tests) finds the class registered already.
    if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        reportFailure("cannot register the window class");
        return false;
    }
    return true;
}

bool Win32WindowHost::create(const WindowSpec& wanted, WindowProc proc) {
    proc_ = proc;
    HWND window =
        CreateWindowExA(WS_EX_CLIENTEDGE, className_.c_str(), wanted.caption.c_str(), wanted.style,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                        nullptr, static_cast<HINSTANCE>(module_), this);
    if (window == nullptr) {
        reportFailure("cannot create the window");
        return false;
    }
    return true;
}

void Win32WindowHost::show() {
    if (HWND window = window_.load(); window != nullptr) {
        ShowWindow(window, SW_SHOW);
    }
}

bool Win32WindowHost::getMessage(WindowMessage& message) {
    MSG native{};
    const BOOL got = GetMessageA(&native, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        message = {WM_QUIT, got == 0 ? native.wParam : 0, 0, nullptr};
        return false;
    }
    // A key an input method claimed arrives as VK_PROCESSKEY; the key itself, which the game
    // wants, can be asked for only before TranslateMessage.
    if (native.message == WM_KEYDOWN && native.wParam == VK_PROCESSKEY) {
        if (const UINT key = ImmGetVirtualKey(native.hwnd); key != 0) {
            native.wParam = key;
        }
    }
    TranslateMessage(&native);
    message = {native.message, native.wParam, native.lParam, native.hwnd};
    return true;
}

void Win32WindowHost::dispatch(const WindowMessage& message) {
    MSG native{};
    native.hwnd = static_cast<HWND>(message.nativeWindow);
    native.message = message.message;
    native.wParam = message.wParam;
    native.lParam = message.lParam;
    native.time = static_cast<DWORD>(GetMessageTime());
    DispatchMessageA(&native);
}

std::int32_t Win32WindowHost::defaultProc(std::uint32_t message, std::uint32_t wParam,
                                          std::int32_t lParam) {
    return static_cast<std::int32_t>(DefWindowProcA(window_.load(), message, wParam, lParam));
}

void Win32WindowHost::postQuit(int exitCode) {
    PostQuitMessage(exitCode);
}

void Win32WindowHost::setCaption(const std::string& caption) {
    SetWindowTextA(window_.load(), caption.c_str());
}

void Win32WindowHost::setSmallIcon(const Bitmap& icon) {
    HWND window = window_.load();
    if (window == nullptr || icon.empty()) {
        return;
    }
    auto* resource = static_cast<HICON>(LoadImageA(static_cast<HINSTANCE>(module_),
                                                   MAKEINTRESOURCEA(kSmallIconResource), IMAGE_ICON,
                                                   icon.width, icon.height, LR_DEFAULTCOLOR));
    if (resource == nullptr && madeIcon_ == nullptr) {
        BITMAPV5HEADER header{};
        header.bV5Size = sizeof header;
        header.bV5Width = icon.width;
        header.bV5Height = -icon.height;
        header.bV5Planes = 1;
        header.bV5BitCount = 32;
        header.bV5Compression = BI_RGB;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                          DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(nullptr, screen);
        HBITMAP mask = CreateBitmap(icon.width, icon.height, 1, 1, nullptr);
        if (colour != nullptr && mask != nullptr) {
            std::copy(icon.pixels.begin(), icon.pixels.end(), static_cast<std::uint32_t*>(bits));
            ICONINFO info{TRUE, 0, 0, mask, colour};
            madeIcon_ = CreateIconIndirect(&info);
        }
        DeleteObject(colour);
        DeleteObject(mask);
    }
    SendMessageA(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(resource != nullptr ? resource : madeIcon_));
}

std::uint32_t Win32WindowHost::style() {
    return static_cast<std::uint32_t>(GetWindowLongA(window_.load(), GWL_STYLE));
}

void Win32WindowHost::setStyle(std::uint32_t style) {
    SetWindowLongA(window_.load(), GWL_STYLE, static_cast<LONG>(style));
}

void Win32WindowHost::setPosition(int x, int y, int outerWidth, int outerHeight,
                                  std::uint32_t flags) {
    // Sent, not posted: like a cross-thread SetWindowPos, it returns once the window is placed.
    if (HWND window = window_.load(); window != nullptr) {
        const PlaceRequest request{x, y, clientSizeForOuter(outerWidth, outerHeight), flags};
        SendMessageA(window, kPlaceMessage, 0, reinterpret_cast<LPARAM>(&request));
    }
}

void Win32WindowHost::place(const PlaceRequest& request) {
    HWND window = window_.load();
    const auto [x, y, client, flags] = request;
    if ((flags & SWP_NOSIZE) != 0) {
        SetWindowPos(window, nullptr, x, y, 0, 0, flags | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    logicalWidth_ = client.width;
    logicalHeight_ = client.height;
    // Fitted to the monitor the window is on; if it lands on one of another DPI, WM_DPICHANGED
    // fits it again there.
    moveTo(fitWindow(x, y, windowDpi(window),
                     workAreaOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)))
               .outer,
           flags);
    // The first look at XInput can take a while (under Wine it held up the window's placement):
    // not before the window is placed.
    PostMessageA(window, kFindPadsMessage, 0, 0);
}

WindowPlacement Win32WindowHost::fitWindow(int x, int y, unsigned dpi, const ScreenRect& workArea) {
    const WindowPlacement placed = placeWindow(
        {x, y, logicalWidth_, logicalHeight_, scaleRequest_.requested, static_cast<int>(dpi)},
        frameAt(window_.load(), dpi), workArea);
    sayWhenLowered(scaleRequest_, placed.scale, workArea.right - workArea.left,
                   workArea.bottom - workArea.top);
    scale_ = placed.scale;
    return placed;
}

void Win32WindowHost::moveTo(const ScreenRect& outer, std::uint32_t flags) {
    SetWindowPos(window_.load(), nullptr, outer.left, outer.top, outer.right - outer.left,
                 outer.bottom - outer.top, flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowHost::invalidate() {
    // A null window would mean every window of the desktop.
    if (HWND window = window_.load(); window != nullptr) {
        InvalidateRect(window, nullptr, FALSE);
    }
}

void Win32WindowHost::requestPresent() {
    // A null window would post to the calling thread instead.
    HWND window = window_.load();
    if (window != nullptr && presents_.request()) {
        PostMessageA(window, kPresentMessage, 0, 0);
    }
}

std::intptr_t __stdcall Win32WindowHost::receive(HWND__* window, unsigned message,
                                                 std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == WM_NCCREATE) {
        auto* host =
            static_cast<Win32WindowHost*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
        host->window_ = window;
    }
    auto* host = reinterpret_cast<Win32WindowHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return host->handleMessage(message, wParam, lParam);
}

std::intptr_t Win32WindowHost::handleMessage(unsigned message, std::uintptr_t wParam,
                                             std::intptr_t lParam) {
    HWND window = window_.load();
    switch (message) {
    case WM_CREATE:
        // The game reads keys, not text: no input method composes over its window.
        ImmAssociateContextEx(window, nullptr, 0);
        scale_ = scaleRequest_.requested != 0 ? scaleRequest_.requested
                                              : scaleForDpi(static_cast<int>(windowDpi(window)));
        resizeClient();
        return proc_(*this, WM_CREATE, 0, 0);
    case WM_PAINT:
        paint();
        return 0;
    case WM_SIZE:
        resizeClient();
        // The client's pixels were replaced and, at another scale, what the window shows is
        // wrong all over: a paint of only the newly uncovered strip would leave the rest stale.
        invalidate();
        return 0;
    case kPresentMessage:
        if (presents_.take()) {
            HDC dc = GetDC(window);
            present(dc);
            ReleaseDC(window, dc);
        }
        return 0;
    case kFindPadsMessage:
        findPads();
        return 0;
    case WM_DEVICECHANGE:
        SetTimer(window, kFindPadsTimer, kFindPadsDelayMs, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == kPadTimer) {
            readPads();
            return 0;
        }
        if (wParam == kFindPadsTimer) {
            KillTimer(window, kFindPadsTimer);
            findPads();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case kPlaceMessage:
        place(*reinterpret_cast<const PlaceRequest*>(lParam));
        return 0;
    case WM_DPICHANGED:
        followDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // wParam names another window: nothing the procedure reads.
        return proc_(*this, message, 0, 0);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_CLOSE:
    case WM_DESTROY:
        return proc_(*this, message, static_cast<std::uint32_t>(wParam),
                     static_cast<std::int32_t>(lParam));
    case WM_NCDESTROY:
        window_ = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void Win32WindowHost::paint() {
    HWND window = window_.load();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    proc_(*this, WM_PAINT, 0, 0);
    presents_.take(); // this paint answers them
    present(dc);
    EndPaint(window, &ps);
}

void Win32WindowHost::present(void* dc) {
    const int scale = scale_;
    std::lock_guard guard(displayLock_);
    if (clientPixels_.empty()) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = clientPixels_.width;
    info.bmiHeader.biHeight = -clientPixels_.height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // Whole pixels, each a square of scale × scale: no smoothing of the LCD's dots.
    SetStretchBltMode(static_cast<HDC>(dc), COLORONCOLOR);
    StretchDIBits(static_cast<HDC>(dc), 0, 0, clientPixels_.width * scale,
                  clientPixels_.height * scale, 0, 0, clientPixels_.width, clientPixels_.height,
                  clientPixels_.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void Win32WindowHost::resizeClient() {
    RECT client{};
    GetClientRect(window_.load(), &client);
    const int scale = scale_;
    resizeClientPixels(displayLock_, clientPixels_,
                       boundedClientSize(static_cast<int>(client.right / scale),
                                         static_cast<int>(client.bottom / scale)));
}

void Win32WindowHost::followDpi(unsigned dpi, const tagRECT& suggested) {
    HWND window = window_.load();
    if (logicalWidth_ > 0) {
        // The system's rectangle tells the monitor and where on it; the size is the game's, with
        // the frame this DPI draws.
        const ScreenRect workArea =
            workAreaOf(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST));
        moveTo(centredOn(fitWindow(suggested.left, suggested.top, dpi, workArea).outer,
                         {suggested.left, suggested.top, suggested.right, suggested.bottom},
                         workArea),
               0);
    } else {
        // Not yet sized by the game: the system's rectangle, this DPI's scale.
        scale_ = scaleRequest_.requested != 0 ? scaleRequest_.requested
                                              : scaleForDpi(static_cast<int>(dpi));
        SetWindowPos(window, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        resizeClient();
    }
    InvalidateRect(window, nullptr, FALSE);
}

void Win32WindowHost::findPads() {
    if (pads_.find()) {
        SetTimer(window_.load(), kPadTimer, kPadReadMs, nullptr);
    } else {
        KillTimer(window_.load(), kPadTimer);
    }
}

void Win32WindowHost::readPads() {
    const bool connected =
        pads_.read([this](std::uint32_t key) { proc_(*this, WM_KEYDOWN, key, 1); });
    if (!connected) {
        KillTimer(window_.load(), kPadTimer);
    }
}

} // namespace platform
