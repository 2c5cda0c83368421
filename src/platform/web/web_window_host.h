// The web window host: the prompt window as a canvas in a page (built with emscripten).
//
// Implemented features:
//  [x] The client area as the page's canvas (id "kestrilon"), shown at the largest whole number
//      of device pixels a game pixel that fits the canvas's box, and nearest-neighbour; smaller
//      than its pixels where not even one fits, never cut. Fitted again when the page is
//      resized, turned, zoomed or moved to another screen.
//  [x] Key-downs of the page as the desktop's virtual-key codes, for the keys the desktop passes:
//      a letter as the layout names it, else the key's place (event.code), so an input method
//      that is composing does not lose X and Z; keys held with Alt, Alt itself and F10 as
//      WM_SYSKEYDOWN. The browser's own use of a key is prevented for the game's keys alone
//      (Enter, X, Z, E, Shift), and not when Alt, Ctrl or Meta is held: Tab still moves the
//      focus, shortcuts stay the browser's. The page's touch buttons send the same key-downs
//      (kestrilon_key_down). The page has the keyboard from the start.
//  [x] Controllers of the standard layout (web_pads.h), read at the browser's frames only while
//      one is connected; their presses are key-downs of the keys pad_keys.h names.
//  [x] The caption as the page's title.
//  [x] Paints and presents merged into one, at the browser's next frame: nothing runs while
//      nothing changes.
//  [ ] No message loop: the browser's event loop is the window's. The host dispatches each
//      event when it comes, so getMessage returns false at once; the start-up opens the window
//      with openPromptWindow and goes on with the game.
//  [x] Each game's end told to the page (tellPageGameOver), which offers links to replay it.
//  [ ] No small icon, style or frame: a page has none; they are only recorded. Closing the tab
//      is closing the window, and nothing is told of it.
//
// Threads: there is one, the page's. The game runs on it too and gives it back to the browser
// at every wait (emscripten's Asyncify), which is when the events come in.
#pragma once

#include "platform/present_requests.h"
#include "platform/window_frame.h"
#include "platform/window_host.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class WebWindowHost final : public WindowHost {
  public:
    // The client size a new window gets, standing in for the system's default size.
    static constexpr int kDefaultClientWidth = 640;
    static constexpr int kDefaultClientHeight = 480;

    WebWindowHost() = default;
    ~WebWindowHost() override;
    WebWindowHost(const WebWindowHost&) = delete;
    WebWindowHost& operator=(const WebWindowHost&) = delete;

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
    std::uint32_t style() override { return style_; }
    void setStyle(std::uint32_t style) override { style_ = style; }
    void setPosition(int x, int y, int outerWidth, int outerHeight, std::uint32_t flags) override;
    void invalidate() override;

    std::mutex& displayLock() override { return displayLock_; }
    Bitmap& clientPixels() override { return clientPixels_; }
    void requestPresent() override;

    // From the page: a key-down, and the browser's frame after a request.
    void keyDown(std::uint32_t virtualKey, bool system);
    void frame();

  private:
    void askForFrame();
    void present();

    WindowProc proc_ = nullptr;
    std::uint32_t style_ = 0;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    bool paintPending_ = false;
    PresentRequests presents_;
    bool frameAsked_ = false;
    std::vector<std::uint8_t> rgba_;

    std::mutex displayLock_;
    Bitmap clientPixels_;
};

// Hands a game's end to the page's Module.kestrilonGameOver(score, code, replayed), when the page
// has one. The game's thread, which is the page's.
void tellPageGameOver(double score, const std::string& gameCode, bool replayed);

} // namespace platform
