#include "image/picture_file.h"

#include "image/bmp_reader.h"
#include "image/stated_size.h"
#include "platform/file_read.h"
#include "platform/gif_decoder.h"
#include "platform/jpeg_decoder.h"
#include "platform/picture_limits.h"

#include <algorithm>
#include <array>
#include <new>
#include <optional>
#include <utility>

namespace {

// Enough for every header that states a picture's size but a JPEG's behind long metadata; whole
// for the game's own small pictures. Holds a PNG's IHDR size, which is all we read of a PNG.
constexpr std::size_t kHeadBytes = 4096;

// A 32-bit big-endian value at `at`; 0 when the file does not hold all four bytes.
std::int32_t bigEndianAt(std::span<const std::uint8_t> file, std::size_t at) {
    if (file.size() < at + 4) {
        return 0;
    }
    const std::uint32_t value = (std::uint32_t{file[at]} << 24) |
                                (std::uint32_t{file[at + 1]} << 16) |
                                (std::uint32_t{file[at + 2]} << 8) | file[at + 3];
    return static_cast<std::int32_t>(value);
}

void release(PictureFile& file) {
    file.picture.reset();
    file.bitmapFile.reset();
    file.width = 0;
    file.height = 0;
    file.format = PictureFormat::None;
}

void keep(std::unique_ptr<platform::Bitmap>& owner, std::optional<platform::Bitmap> decoded) {
    if (decoded) {
        owner = std::make_unique<platform::Bitmap>(std::move(*decoded));
    }
}

} // namespace

PictureFormat PictureFile::sniffFormat(std::span<const std::uint8_t> head) {
    std::array<std::uint8_t, 8> b{};
    std::copy_n(head.begin(), std::min(head.size(), b.size()), b.begin());
    if (b[0] == 0x42 && b[1] == 0x4D) {
        return PictureFormat::Bmp;
    }
    if (b[0] == 0x47 && b[1] == 0x49 && b[2] == 0x46) {
        return PictureFormat::Gif;
    }
    if (b[0] == 0xFF && b[1] == 0xD8) {
        return PictureFormat::Jpeg;
    }
    constexpr std::array<std::uint8_t, 8> kPng = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    if (b == kPng) {
        return PictureFormat::Png;
    }
    return PictureFormat::None;
}

int PictureFile::loadBytes(std::span<const std::uint8_t> file,
                           platform::PictureAllowance& allowance) {
    release(*this);
    format = sniffFormat(file);
    try {
        switch (format) {
        case PictureFormat::Bmp:
            keep(bitmapFile, readBmp(file, allowance));
            break;
        case PictureFormat::Jpeg:
            keep(picture, platform::decodeJpeg(file, allowance));
            break;
        case PictureFormat::Gif:
            keep(picture, platform::decodeGif(file, allowance));
            break;
        case PictureFormat::Png:
            width = bigEndianAt(file, 16);
            height = bigEndianAt(file, 20);
            return 0;
        case PictureFormat::None:
            return 0;
        }
    } catch (const std::bad_alloc&) {
        // The system had less memory than the allowance promised (an address-space limit, say).
        const PictureFormat tried = format;
        release(*this);
        format = tried;
        return 0;
    }
    const platform::Bitmap* loaded = bitmapHandle();
    if (loaded == nullptr) {
        return 0;
    }
    width = loaded->width;
    height = loaded->height;
    return 1;
}

int PictureFile::loadBytes(std::span<const std::uint8_t> file) {
    platform::PictureAllowance capsOnly;
    return loadBytes(file, capsOnly);
}

int PictureFile::load(const char* fileName, platform::PictureAllowance& allowance) {
    release(*this);
    // The head first: a PNG's size is read even when the file is too long to decode, and a
    // picture past the caps or the allowance is turned away without reading the rest.
    const auto head = platform::readFileHead(fileName, kHeadBytes);
    if (!head) {
        return 0;
    }
    const PictureFormat sniffed = sniffFormat(head->bytes);
    if (sniffed == PictureFormat::None || sniffed == PictureFormat::Png) {
        return loadBytes(head->bytes, allowance);
    }
    format = sniffed;
    if (head->fileLength > platform::kMaxPictureFileBytes) {
        return 0;
    }
    // The file's bytes are held while it decodes, so they come out of the allowance too.
    const auto length = static_cast<std::int64_t>(head->fileLength);
    allowance.heldWhileDecoding = length;
    const auto stated = statedPictureSize(sniffed, head->bytes);
    if (stated && !platform::admitPicture(allowance, stated->width, stated->height)) {
        return 0;
    }
    if (length > allowance.bytes) {
        allowance.passed = platform::LimitPassed::Decoding;
        return 0;
    }
    if (head->bytes.size() == head->fileLength) {
        return loadBytes(head->bytes, allowance);
    }
    if (length > allowance.readable) {
        allowance.passed = platform::LimitPassed::Reading;
        return 0;
    }
    allowance.readable -= length;
    const auto whole = platform::readFile(fileName, static_cast<std::size_t>(length));
    if (!whole) {
        return 0;
    }
    return loadBytes(*whole, allowance);
}

int PictureFile::load(const char* fileName) {
    platform::PictureAllowance capsOnly;
    return load(fileName, capsOnly);
}

const platform::Bitmap* PictureFile::bitmapHandle() const {
    switch (format) {
    case PictureFormat::Bmp:
        return bitmapFile.get();
    case PictureFormat::Jpeg:
    case PictureFormat::Gif:
        return picture.get();
    case PictureFormat::None:
    case PictureFormat::Png:
        return nullptr;
    }
    return nullptr;
}
