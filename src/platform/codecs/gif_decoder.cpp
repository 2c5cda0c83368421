#include "platform/gif_decoder.h"

#include "platform/picture_limits.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <vector>

namespace platform {
namespace {

struct MemoryReader {
    std::span<const std::uint8_t> file;
    std::size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(length, 0)),
                                       reader->file.size() - reader->position);
    if (count > 0) {
        std::memcpy(buffer, reader->file.data() + reader->position, count);
    }
    reader->position += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

std::uint32_t rgb(const GifColorType& c) {
    return (std::uint32_t{c.Red} << 16) | (std::uint32_t{c.Green} << 8) | c.Blue;
}

// Reads records up to the first image descriptor, keeping the transparent index of the last
// graphics control extension on the way. False when the file ends or breaks before an image.
bool skipToFirstImage(GifFileType* gif, int& transparentIndex) {
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR) {
            return false;
        }
        if (record == IMAGE_DESC_RECORD_TYPE) {
            return DGifGetImageDesc(gif) != GIF_ERROR;
        }
        if (record != EXTENSION_RECORD_TYPE) {
            return false;
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
            return false;
        }
        GraphicsControlBlock control{};
        // A malformed control block only loses its transparency; it is not worth the picture.
        if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr &&
            DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
            transparentIndex = control.TransparentColor;
        }
        while (block != nullptr) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                return false;
            }
        }
    }
}

// The row of the picture that the n-th stored line of an interlaced image belongs to.
int interlacedRow(int n, int height) {
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows =
            height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (n < rows) {
            return kStart[pass] + n * kStep[pass];
        }
        n -= rows;
    }
    return height; // unreachable for n < height
}

} // namespace

std::optional<Bitmap> decodeGif(std::span<const std::uint8_t> file, PictureAllowance& allowance) {
    MemoryReader reader{file};
    int error = 0;
    const GifHandle gif(DGifOpen(&reader, readFromMemory, &error));
    int transparentIndex = NO_TRANSPARENT_COLOR;
    if (!gif || !skipToFirstImage(gif.get(), transparentIndex)) {
        return std::nullopt;
    }
    const GifImageDesc& image = gif->Image;
    const ColorMapObject* globalMap = gif->SColorMap;
    const ColorMapObject* map = image.ColorMap != nullptr ? image.ColorMap : globalMap;
    std::int64_t screenWidth = gif->SWidth;
    std::int64_t screenHeight = gif->SHeight;
    if (screenWidth == 0 || screenHeight == 0) {
        screenWidth = std::int64_t{image.Left} + image.Width;
        screenHeight = std::int64_t{image.Top} + image.Height;
    }
    if (map == nullptr || map->Colors == nullptr ||
        !admitPicture(allowance, screenWidth, screenHeight) ||
        !admitPicture(allowance, image.Width, image.Height)) {
        return std::nullopt;
    }
    std::uint32_t background = 0;
    if (globalMap != nullptr && gif->SBackGroundColor >= 0 &&
        gif->SBackGroundColor < globalMap->ColorCount) {
        background = rgb(globalMap->Colors[gif->SBackGroundColor]);
    }
    std::optional<Bitmap> picture(std::in_place, static_cast<int>(screenWidth),
                                  static_cast<int>(screenHeight), background);
    // The map's colours looked up once, not once a pixel.
    std::array<std::uint32_t, 256> colours{};
    const int mapSize = std::min(map->ColorCount, 256);
    for (int i = 0; i < mapSize; ++i) {
        colours[static_cast<std::size_t>(i)] = rgb(map->Colors[i]);
    }
    // Columns past the picture's right edge are read, and checked, but not drawn.
    const int visible = static_cast<int>(
        std::clamp<std::int64_t>(picture->width - std::int64_t{image.Left}, 0, image.Width));
    // Read once: the pixel stores below could alias the fields, which would then be reloaded for
    // every pixel.
    const int width = image.Width;
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (int n = 0; n < image.Height; ++n) {
        if (DGifGetLine(gif.get(), line.data(), width) == GIF_ERROR) {
            return std::nullopt;
        }
        const int row = image.Interlace ? interlacedRow(n, image.Height) : n;
        const std::int64_t y = std::int64_t{image.Top} + row;
        std::uint32_t* pixels = nullptr;
        if (y < picture->height && visible > 0) {
            pixels = &picture->pixels[static_cast<std::size_t>(y) * picture->width + image.Left];
        }
        for (int column = 0; column < width; ++column) {
            const int index = line[static_cast<std::size_t>(column)];
            if (index == transparentIndex) {
                continue;
            }
            if (index >= mapSize) {
                return std::nullopt;
            }
            if (pixels != nullptr && column < visible) {
                pixels[column] = colours[static_cast<std::size_t>(index)];
            }
        }
    }
    return picture;
}

std::optional<Bitmap> decodeGif(std::span<const std::uint8_t> file) {
    PictureAllowance capsOnly;
    return decodeGif(file, capsOnly);
}

} // namespace platform
