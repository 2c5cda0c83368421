#include "platform/jpeg_decoder.h"

#include "platform/picture_limits.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <jerror.h>
#include <jpeglib.h>

namespace platform {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the library's blue-green-red-filler rows are read as 0x00RRGGBB pixels");

// The library reports errors by calling error_exit, which must not return: it jumps back to the
// setjmp of the phase that is running. Only plain C data lives in the frames it jumps over.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf phase;
};

// Decoder state that outlives both phases; its destructor runs in decodeJpeg's frame, which no
// jump crosses.
struct Session {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    jpeg_progress_mgr progress{};
    // The library's memory was capped below kMaxLibraryMemory to keep within the allowance.
    bool libraryLimitedByAllowance = false;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { jpeg_destroy_decompress(&info); }
};

// Enough for the coefficients of a progressive CMYK file at the pixel cap: a second fence behind
// the size check, should a file find a way past it.
constexpr long kMaxLibraryMemory = 192L * 1024 * 1024;

[[noreturn]] void jumpOut(j_common_ptr common) {
    std::longjmp(reinterpret_cast<ErrorManager*>(common->err)->phase, 1);
}

void stayQuiet(j_common_ptr) {}

void limitScans(j_common_ptr common) {
    const auto* info = reinterpret_cast<j_decompress_ptr>(common);
    const std::int64_t scanPixels =
        std::int64_t{info->input_scan_number} * info->image_width * info->image_height;
    if (info->input_scan_number > kMaxJpegScans || scanPixels > kMaxJpegScanPixels) {
        jumpOut(common);
    }
}

// Phase one: the headers, and whether the picture is one we accept. The library's working memory
// for the picture (a progressive file's coefficients, mostly) comes out of the same allowance.
bool readHeader(Session& s, std::span<const std::uint8_t> file, PictureAllowance& allowance) {
    s.info.err = jpeg_std_error(&s.errors.pub);
    s.errors.pub.error_exit = jumpOut;
    s.errors.pub.output_message = stayQuiet;
    if (setjmp(s.errors.phase) != 0) {
        return false;
    }
    jpeg_create_decompress(&s.info);
    s.info.mem->max_memory_to_use = kMaxLibraryMemory;
    s.progress.progress_monitor = limitScans;
    s.info.progress = &s.progress;
    jpeg_mem_src(&s.info, file.data(), static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&s.info, TRUE) != JPEG_HEADER_OK) {
        return false;
    }
    if (!admitPicture(allowance, s.info.image_width, s.info.image_height)) {
        return false;
    }
    const std::int64_t left = decodingRoom(allowance, s.info.image_width, s.info.image_height);
    if (left < kMaxLibraryMemory) {
        // 0 would mean no limit at all.
        s.info.mem->max_memory_to_use = static_cast<long>(std::max<std::int64_t>(left, 1));
        s.libraryLimitedByAllowance = true;
    }
    switch (s.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        s.info.out_color_space = JCS_GRAYSCALE;
        return true;
    case JCS_YCbCr:
    case JCS_RGB:
        // Blue, green, red and a filler byte are a 0x00RRGGBB pixel in memory once the filler is
        // cleared, so the library writes straight into the picture, and converts faster too.
        s.info.out_color_space = JCS_EXT_BGRX;
        return true;
    case JCS_CMYK:
    case JCS_YCCK:
        s.info.out_color_space = JCS_CMYK;
        return true;
    default:
        return false;
    }
}

std::uint32_t rgb(unsigned r, unsigned g, unsigned b) {
    return (r << 16) | (g << 8) | b;
}

// Adobe's writers store CMYK inverted (0 = full ink); others store it as is.
std::uint32_t cmykToRgb(const JSAMPLE* p, bool inverted) {
    unsigned c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    return rgb(c * k / 255, m * k / 255, y * k / 255);
}

// Phase two: the pixels, into `out`, which the caller has sized to the picture.
bool readPixels(Session& s, Bitmap& out) {
    if (setjmp(s.errors.phase) != 0) {
        return false;
    }
    jpeg_start_decompress(&s.info);
    if (s.info.out_color_space == JCS_EXT_BGRX) {
        // Read once: the pixel stores below could alias the field, and it would be reloaded for
        // every pixel.
        const int width = out.width;
        while (s.info.output_scanline < s.info.output_height) {
            std::uint32_t* pixels =
                &out.pixels[static_cast<std::size_t>(s.info.output_scanline) * width];
            JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels);
            if (jpeg_read_scanlines(&s.info, &row, 1) != 1) {
                return false;
            }
            for (int x = 0; x < width; ++x) {
                pixels[x] &= 0x00FFFFFFu;
            }
        }
        jpeg_finish_decompress(&s.info);
        return true;
    }
    const int channels = s.info.output_components;
    JSAMPARRAY row = (*s.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&s.info),
                                                 JPOOL_IMAGE, s.info.output_width * channels, 1);
    const bool inverted = s.info.saw_Adobe_marker != 0;
    while (s.info.output_scanline < s.info.output_height) {
        const auto y = static_cast<int>(s.info.output_scanline);
        if (jpeg_read_scanlines(&s.info, row, 1) != 1) {
            return false;
        }
        for (int x = 0; x < out.width; ++x) {
            const JSAMPLE* p = row[0] + static_cast<std::size_t>(x) * channels;
            out.setPixel(x, y, channels == 1 ? rgb(p[0], p[0], p[0]) : cmykToRgb(p, inverted));
        }
    }
    jpeg_finish_decompress(&s.info);
    return true;
}

} // namespace

std::optional<Bitmap> decodeJpeg(std::span<const std::uint8_t> file, PictureAllowance& allowance) {
    Session session;
    if (!readHeader(session, file, allowance)) {
        return std::nullopt;
    }
    std::optional<Bitmap> picture(std::in_place, static_cast<int>(session.info.image_width),
                                  static_cast<int>(session.info.image_height));
    if (!readPixels(session, *picture)) {
        // The library asks for its whole working memory at the start; running out of what the
        // allowance left it is a matter of memory, not of a broken file.
        const int code = session.errors.pub.msg_code;
        if (session.libraryLimitedByAllowance &&
            (code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY)) {
            allowance.passed = LimitPassed::Decoding;
        }
        return std::nullopt;
    }
    return picture;
}

std::optional<Bitmap> decodeJpeg(std::span<const std::uint8_t> file) {
    PictureAllowance capsOnly;
    return decodeJpeg(file, capsOnly);
}

} // namespace platform
