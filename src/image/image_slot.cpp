#include "image/image_slot.h"

#include "image/picture_budget.h"
#include "platform/file_read.h"
#include "platform/window_host.h"
#include "prompt/prompt_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <new>
#include <system_error>
#include <thread>

namespace {

// How the line on stderr names the limit a picture passed; null for none.
const char* limitText(platform::LimitPassed passed) {
    static_assert(kPictureReadBytes == kPictureBudgetBytes, "both limits are named by one figure");
    switch (passed) {
    case platform::LimitPassed::Kept:
        return "the pictures would take more than";
    case platform::LimitPassed::Decoding:
        return "while it decodes, its file and the pictures would take more than";
    case platform::LimitPassed::Reading:
        return "the picture files read would come to more than";
    case platform::LimitPassed::None:
        return nullptr;
    }
    return nullptr;
}

} // namespace

void ImageSurface::construct() {
    bitmap = nullptr;
    window = nullptr;
    mirrorToBackBuffer = 0;
}

void ImageSurface::bind() {
    window = promptWindow.handle.load();
    mirrorToBackBuffer = 1;
}

int ImageSurface::drawAt(std::int32_t x, std::int32_t y, std::uint32_t rop) {
    if (bitmap == nullptr) {
        return 0;
    }
    return drawPartAt(x, y, bitmap->width, bitmap->height, rop);
}

int ImageSurface::drawPartAt(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::uint32_t rop) {
    if (bitmap == nullptr || window == nullptr) {
        return 0;
    }
    if (rop == 0) {
        rop = platform::kSrcCopy;
    }
    {
        std::lock_guard guard(window->displayLock());
        platform::copyRect(window->clientPixels(), x, y, width, height, *bitmap, 0, 0, rop);
        // The back buffer is gone once the window has been destroyed.
        if (mirrorToBackBuffer == 1 && promptWindow.backBuffer != nullptr) {
            platform::copyRect(*promptWindow.backBuffer, x, y, width, height, *bitmap, 0, 0, rop);
        }
    }
    window->requestPresent();
    return 1;
}

ImageSlot::~ImageSlot() {
    waitForReader();
    releasePicture();
}

void ImageSlot::construct() {
    ImageSurface::construct();
    waitForReader();
    releasePicture();
    pictureFile = PictureFile{};
    rowPause = 0;
}

int ImageSlot::load(const char* fileName) {
    // The reader of an earlier picture must be done with it before the picture is replaced.
    waitForReader();
    bitmap = nullptr;
    releasePicture();
    platform::PictureAllowance allowance{kPictureBudgetBytes - pictureBytesCounted,
                                         platform::kPictureBytesPerPixel +
                                             (rowPause < 0 ? 0 : kReaderBytesPerPixel)};
    allowance.readable = kPictureReadBytes - pictureBytesRead;
    const int result = pictureFile.load(fileName, allowance);
    pictureBytesRead = kPictureReadBytes - allowance.readable;
    if (result == 1) {
        bitmap = pictureFile.bitmapHandle();
        budgetShare =
            platform::kPictureBytesPerPixel *
            std::max(allowance.countedPixels, std::int64_t{bitmap->width} * bitmap->height);
        startReader();
        pictureBytesCounted += budgetShare;
    } else if (const char* limit = limitText(allowance.passed)) {
        std::fprintf(stderr, "kestrilon: %s not loaded: %s %lld MiB\n",
                     platform::hostPath(fileName).c_str(), limit,
                     static_cast<long long>(kPictureBudgetBytes >> 20));
    }
    return result;
}

int ImageSlot::setRowPause(std::int32_t milliseconds) {
    if (readerRunning) {
        return 0;
    }
    rowPause = milliseconds;
    return 1;
}

// Without memory for the copy and the table, or without a thread, the picture stays loaded with
// no pixel table: it still draws, and nothing in the game reads the table.
void ImageSlot::startReader() {
    if (rowPause < 0) {
        return;
    }
    const auto count = static_cast<std::size_t>(bitmap->width) * bitmap->height;
    try {
        readerBitmap = *bitmap;
        pixels = std::make_unique<std::uint32_t[]>(count);
    } catch (const std::bad_alloc&) {
        readerBitmap = platform::Bitmap{};
        pixels.reset();
        return;
    }
    {
        std::lock_guard guard(lock);
        pixelsReady = 0;
        readerRunning = true;
    }
    try {
        // Detached: a finished reader's thread and stack go back to the system at once, and
        // waitForReader waits on readerEnded instead of a join.
        std::thread(&ImageSlot::readPixels, this).detach();
    } catch (const std::system_error&) {
        {
            std::lock_guard guard(lock);
            readerRunning = false;
        }
        readerBitmap = platform::Bitmap{};
        pixels.reset();
        return;
    }
    budgetShare += kReaderBytesPerPixel * static_cast<std::int64_t>(count);
}

// Allocates nothing, so a reader's thread never needs a memory arena of its own.
void ImageSlot::readPixels() {
    const int width = readerBitmap.width;
    const int height = readerBitmap.height;
    const auto pause = std::chrono::milliseconds(rowPause);
    for (int y = 0; y < height && !stopReading; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<std::size_t>(y) * width + x] =
                platform::colorRef(readerBitmap.pixel(x, y));
        }
        // A pause of 0 only lets other threads run.
        if (pause.count() == 0) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(pause);
        }
    }
    readerBitmap = platform::Bitmap{};
    std::lock_guard guard(lock);
    pixelsReady = stopReading ? 0 : 1;
    readerRunning = false;
    readerEnded.notify_all();
    // The slot may be destroyed as soon as the lock is released: nothing of it is touched after.
}

void ImageSlot::waitForReader() {
    std::unique_lock guard(lock);
    if (!readerRunning) {
        return;
    }
    stopReading = true;
    readerEnded.wait(guard, [this] { return !readerRunning; });
    stopReading = false;
}

// The slot's reader has ended. The picture itself goes with the next load of pictureFile.
void ImageSlot::releasePicture() {
    pictureBytesCounted -= budgetShare;
    budgetShare = 0;
    pixels.reset();
    std::lock_guard guard(lock);
    pixelsReady = 0;
}
