#include "platform/encoded_pictures.h"

#include <algorithm>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <cstdlib>
#include <gif_lib.h>
#include <jpeglib.h>
#include <stdexcept>

namespace testing_pictures {

bool progressiveJpegAvailable() {
    return true;
}

bool decodersRepairBrokenData() {
    return true;
}

std::vector<std::uint8_t> makeJpeg(int width, int height, const std::vector<std::uint32_t>& pixels,
                                   JpegColours colours, bool progressive) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    const bool gray = colours == JpegColours::Gray;
    const bool cmyk = colours == JpegColours::AdobeCmyk || colours == JpegColours::PlainCmyk;
    c.input_components = gray ? 1 : cmyk ? 4 : 3;
    c.in_color_space = gray ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    if (colours == JpegColours::PlainCmyk) {
        c.write_Adobe_marker = FALSE;
    }
    if (progressive) {
        jpeg_simple_progression(&c);
    }
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * c.input_components));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
            const JSAMPLE r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            JSAMPLE* s = &row[static_cast<std::size_t>(x * c.input_components)];
            // Adobe's CMYK is stored inverted (255 = no ink); neither CMYK uses black ink here.
            JSAMPLE stored[4] = {r, g, b, 255};
            if (colours == JpegColours::PlainCmyk) {
                stored[0] = static_cast<JSAMPLE>(255 - r);
                stored[1] = static_cast<JSAMPLE>(255 - g);
                stored[2] = static_cast<JSAMPLE>(255 - b);
                stored[3] = 0;
            }
            std::copy_n(stored, c.input_components, s);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<std::uint8_t> file(out, out + size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return file;
}

namespace {

int appendToVector(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + length);
    return length;
}

ColorMapObject* makeMap(const std::vector<std::uint32_t>& colours) {
    if (colours.empty()) {
        return nullptr;
    }
    std::vector<GifColorType> entries;
    for (std::uint32_t c : colours) {
        entries.push_back({static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                           static_cast<GifByteType>(c)});
    }
    return GifMakeMapObject(static_cast<int>(entries.size()), entries.data());
}

void check(int result) {
    if (result != GIF_OK) {
        throw std::runtime_error("GIF encoder failed");
    }
}

void putImage(GifFileType* gif, const GifSpec& recipe, const std::vector<std::uint8_t>& indices) {
    ColorMapObject* local = makeMap(recipe.localMap);
    check(EGifPutImageDesc(gif, recipe.left, recipe.top, recipe.width, recipe.height,
                           recipe.interlaced, local));
    GifFreeMapObject(local);
    // An interlaced image stores rows 0, 8, 16…, then 4, 12…, then 2, 6…, then 1, 3…
    std::vector<int> order;
    if (recipe.interlaced) {
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
            for (int y = start; y < recipe.height; y += step) {
                order.push_back(y);
            }
        }
    } else {
        for (int y = 0; y < recipe.height; ++y) {
            order.push_back(y);
        }
    }
    for (int y : order) {
        std::vector<GifPixelType> line(indices.begin() + y * recipe.width,
                                       indices.begin() + (y + 1) * recipe.width);
        check(EGifPutLine(gif, line.data(), recipe.width));
    }
}

} // namespace

std::vector<std::uint8_t> makeGif(const GifSpec& recipe) {
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendToVector, &error);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = makeMap(recipe.globalMap);
    check(EGifPutScreenDesc(gif, recipe.screenWidth, recipe.screenHeight, 8, recipe.background,
                            global));
    GifFreeMapObject(global);
    if (recipe.transparent >= 0) {
        GraphicsControlBlock control{};
        control.TransparentColor = recipe.transparent;
        GifByteType block[4];
        const std::size_t length = EGifGCBToExtension(&control, block);
        check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), block));
    }
    putImage(gif, recipe, recipe.indices);
    if (!recipe.secondFrame.empty()) {
        putImage(gif, recipe, recipe.secondFrame);
    }
    check(EGifCloseFile(gif, &error));
    return out;
}

} // namespace testing_pictures
