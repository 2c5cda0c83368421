// Pictures and waits shared by the image-slot tests.
#pragma once

#include "image/bmp_builder.h"
#include "image/image_slot.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// A w × h 24-bit picture whose pixel (x, y) is 0x00RRGGBB = (x, y, 7).
inline std::vector<std::uint8_t> gradient(int w, int h) {
    BmpSpec bmp;
    bmp.width = w;
    bmp.height = -h; // top-down
    const int stride = (3 * w + 3) / 4 * 4;
    bmp.pixels.assign(static_cast<std::size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &bmp.pixels[static_cast<std::size_t>(y) * stride + 3 * x];
            p[0] = 7;                            // blue
            p[1] = static_cast<std::uint8_t>(y); // green
            p[2] = static_cast<std::uint8_t>(x); // red
        }
    }
    return makeBmp(bmp);
}

inline bool waitForPixels(ImageSlot& slot) {
    for (int i = 0; i < 2000; ++i) {
        {
            std::lock_guard guard(slot.lock);
            if (slot.pixelsReady == 1) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}
