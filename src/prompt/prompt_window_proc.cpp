#include "prompt/prompt_window_proc.h"

#include "platform/bitmap.h"
#include "platform/clock.h"
#include "platform/sound_output.h"
#include "platform/watch_pace.h"
#include "prompt/prompt_window.h"
#include "prompt/text_screen.h"
#include "runtime/rt_string.h"

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

// The window's font is a 16-pixel fixed-pitch face, 8 pixels to a character; the text layer
// only needs its measures.
constexpr std::int32_t kFontHeight = 16;
constexpr int kCharWidth = 8;

// Owned here from WM_CREATE to WM_DESTROY; others reach it through promptWindow.backBuffer.
std::unique_ptr<platform::Bitmap> backBufferStore;

void createBackBuffer(platform::WindowHost& window) {
    auto fresh = std::make_unique<platform::Bitmap>(promptWindow.backBufferWidth,
                                                    promptWindow.backBufferHeight, 0x000000);
    std::lock_guard guard(window.displayLock());
    backBufferStore = std::move(fresh);
    promptWindow.backBuffer = backBufferStore.get();
    promptWindow.lineHeight = kFontHeight;
}

// A row's text would cover its strip up to the text's width; the rest of each visible strip is
// restored from the back buffer. No row ever holds text, so every strip is restored whole.
void paintTextOverlay(platform::Bitmap& target, const platform::Bitmap& backBuffer) {
    const int lineHeight = promptWindow.lineHeight;
    std::lock_guard guard(TextScreen::lock);
    for (int row = 0; row < TextScreen::kRows && row * lineHeight < target.height; ++row) {
        const auto& text = TextScreen::rows[static_cast<std::size_t>(row)];
        const auto length = std::find(text.begin(), text.end(), 0) - text.begin();
        const int width = kCharWidth * static_cast<int>(length);
        platform::copyRect(target, width, row * lineHeight, target.width, lineHeight, backBuffer,
                           width, row * lineHeight, platform::kSrcCopy);
    }
}

void paint(platform::WindowHost& window) {
    {
        std::lock_guard guard(window.displayLock());
        if (const platform::Bitmap* backBuffer = promptWindow.backBuffer) {
            platform::Bitmap& client = window.clientPixels();
            platform::copyRect(client, 0, 0, backBuffer->width, backBuffer->height, *backBuffer, 0,
                               0, platform::kSrcCopy);
            paintTextOverlay(client, *backBuffer);
        }
    }
    window.requestPresent();
    promptWindow.ready = 1;
    platform::announceChange(promptWindow.ready);
}

void destroyBackBuffer(platform::WindowHost& window) {
    std::unique_ptr<platform::Bitmap> old;
    {
        // The game thread may be drawing into it right now; it looks for null under this lock.
        std::lock_guard guard(window.displayLock());
        promptWindow.backBuffer = nullptr;
        old = std::move(backBufferStore);
    }
    // Freed here, outside the lock: nothing can reach it any more.
}

} // namespace

std::int32_t promptWindowProc(platform::WindowHost& window, std::uint32_t message,
                              std::uint32_t wParam, std::int32_t lParam) {
    // Every message takes and gives back a working string, so the window thread shares the
    // string registry with the game thread from its first message on.
    RtString working = stringAlloc(0);
    std::int32_t result = 0;
    switch (message) {
    case platform::WM_CREATE:
        createBackBuffer(window);
        break;
    case platform::WM_PAINT:
        paint(window);
        break;
    case platform::WM_KEYDOWN:
        // The mute key and the pace of a replay watched are the player's, not the game's: they
        // never reach the latch.
        if (platform::takeHostKey(wParam) || platform::takePaceKey(wParam)) {
            break;
        }
        promptWindow.lastKey = static_cast<std::uint8_t>(wParam & 0xFFu);
        // Wakes the game if it waits for a key; never blocks.
        platform::announceChange(promptWindow.lastKey);
        break;
    case platform::WM_CHAR:
    case platform::WM_SETFOCUS:
    case platform::WM_KILLFOCUS:
        break;
    case platform::WM_DESTROY:
        destroyBackBuffer(window);
        window.postQuit(0);
        break;
    default:
        result = window.defaultProc(message, wParam, lParam);
        break;
    }
    stringRelease(working);
    return result;
}
