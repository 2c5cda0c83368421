// The image records: surfaces that draw a picture into the prompt window, and the 256 slots
// that load one picture file each and read its pixels on a thread of their own.
//
// Construction, binding, loading and drawing happen on the game thread. Each successful load
// (unless rowPause is negative) starts one pixel reader, which fills the slot's pixel table and
// ends by itself, giving its thread back to the system. A slot waits for its reader before loading
// again and before it is destroyed. The pictures of all slots together keep within the picture
// budget (image/picture_budget.h).
#pragma once

#include "image/picture_file.h"
#include "platform/bitmap.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace platform {
class WindowHost;
}

struct ImageSurface {
    // The current picture; null while the record holds none.
    const platform::Bitmap* bitmap = nullptr;
    // The window drawn into; null until bound.
    platform::WindowHost* window = nullptr;
    // 1 after binding: every draw into the window is repeated into the window's back buffer.
    std::int32_t mirrorToBackBuffer = 0;

    void construct();
    // Ties the surface to the prompt window and its back buffer.
    void bind();
    // Copies the whole picture, at its own size, to (x, y) of the window and, when bound, of the
    // back buffer, combined by the raster operation `rop` (0 is a plain copy). Returns 0 when
    // there is no picture or no window to draw into, else 1.
    int drawAt(std::int32_t x, std::int32_t y, std::uint32_t rop);
    // As drawAt, but only the picture's top-left `width` × `height` pixels (no more than it has).
    int drawPartAt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   std::uint32_t rop);
};

struct ImageSlot : ImageSurface {
    ImageSlot() = default;
    ImageSlot(const ImageSlot&) = delete;
    ImageSlot& operator=(const ImageSlot&) = delete;
    ~ImageSlot();

    PictureFile pictureFile;
    // The pixel table: width × height colours, row-major, red in the low byte. Taken when the
    // reader starts and filled by it; complete once pixelsReady is 1.
    std::unique_ptr<std::uint32_t[]> pixels;
    std::int32_t pixelsReady = 0; // under lock
    std::mutex lock;
    // The reader's own copy of the picture, so the slot's picture stays free to draw.
    platform::Bitmap readerBitmap;
    // Milliseconds the reader sleeps after each row; negative: a load starts no reader.
    std::int32_t rowPause = 0;
    // What the slot's picture counts against the picture budget.
    std::int64_t budgetShare = 0;

    void construct();
    // 1 when the file's picture was loaded and made current, else 0 (the slot then holds none).
    // A picture that would take the pictures past their budget is not loaded, and a line on
    // stderr names its file.
    int load(const char* fileName);
    // 1 when stored; 0, and nothing changes, while the slot's reader is still running.
    int setRowPause(std::int32_t milliseconds);

  private:
    void startReader();
    void readPixels();
    void waitForReader();
    void releasePicture();
    std::atomic<bool> readerRunning{false}; // written under lock
    std::atomic<bool> stopReading{false};
    std::condition_variable readerEnded;
};

inline std::array<ImageSlot, 256> imageSlots;
inline ImageSurface windowSurface;
