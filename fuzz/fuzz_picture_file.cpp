// Fuzz target: any bytes as a whole picture file, through the format sniffing and the reader the
// sniffing picks. Whatever loads must be a picture within the caps and of the size it states.
#include "image/picture_file.h"
#include "platform/picture_limits.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PictureFile file;
    const int loaded = file.loadBytes(std::span<const std::uint8_t>(data, size));
    const platform::Bitmap* bitmap = file.bitmapHandle();
    if (loaded == 1) {
        if (bitmap == nullptr || bitmap->width != file.width || bitmap->height != file.height ||
            !platform::pictureSizeAllowed(file.width, file.height) ||
            bitmap->pixels.size() != static_cast<std::size_t>(file.width) * file.height) {
            std::abort();
        }
    } else if (loaded != 0 || bitmap != nullptr) {
        std::abort();
    }
    return 0;
}
