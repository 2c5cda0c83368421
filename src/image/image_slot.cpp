#include "image/image_slot.h"

#include "platform/window_host.h"
#include "prompt/prompt_window.h"

#include <chrono>

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
    if (bitmap == nullptr || window == nullptr) {
        return 0;
    }
    if (rop == 0) {
        rop = platform::kSrcCopy;
    }
    {
        std::lock_guard guard(window->displayLock());
        platform::copyRect(window->clientPixels(), x, y, bitmap->width, bitmap->height, *bitmap, 0,
                           0, rop);
        // The back buffer is gone once the window has been destroyed.
        if (mirrorToBackBuffer == 1 && promptWindow.backBuffer != nullptr) {
            platform::copyRect(*promptWindow.backBuffer, x, y, bitmap->width, bitmap->height,
                               *bitmap, 0, 0, rop);
        }
    }
    window->requestPresent();
    return 1;
}

ImageSlot::~ImageSlot() {
    waitForReader();
}

void ImageSlot::construct() {
    ImageSurface::construct();
    waitForReader();
    pictureFile = PictureFile{};
    pixels.reset();
    pixelsReady = 0;
    rowPause = 0;
}

int ImageSlot::load(const char* fileName) {
    // The reader of an earlier picture must be done with it before the picture is replaced.
    waitForReader();
    bitmap = nullptr;
    const int result = pictureFile.load(fileName);
    if (result == 1) {
        bitmap = pictureFile.bitmapHandle();
        startReader();
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

void ImageSlot::startReader() {
    if (rowPause < 0) {
        return;
    }
    readerBitmap = *bitmap;
    {
        std::lock_guard guard(lock);
        pixelsReady = 0;
    }
    readerRunning = true;
    reader = std::thread(&ImageSlot::readPixels, this);
}

void ImageSlot::readPixels() {
    const int width = readerBitmap.width;
    const int height = readerBitmap.height;
    auto table = std::make_unique<std::uint32_t[]>(static_cast<std::size_t>(width) * height);
    const auto pause = std::chrono::milliseconds(rowPause);
    for (int y = 0; y < height && !stopReading; ++y) {
        for (int x = 0; x < width; ++x) {
            table[static_cast<std::size_t>(y) * width + x] =
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
    {
        std::lock_guard guard(lock);
        pixels = std::move(table);
        pixelsReady = stopReading ? 0 : 1;
    }
    readerRunning = false;
}

void ImageSlot::waitForReader() {
    if (reader.joinable()) {
        stopReading = true;
        reader.join();
        stopReading = false;
    }
}
