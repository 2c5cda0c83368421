#include "image/stated_size.h"

namespace {

std::int64_t littleEndian(std::span<const std::uint8_t> head, std::size_t at, int bytes) {
    std::int64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | head[at + static_cast<std::size_t>(i)];
    }
    return value;
}

std::optional<StatedSize> bmpSize(std::span<const std::uint8_t> head) {
    constexpr std::size_t kCoreSizesEnd = 22;
    constexpr std::size_t kInfoSizesEnd = 26;
    if (head.size() < kCoreSizesEnd) {
        return std::nullopt;
    }
    if (littleEndian(head, 14, 4) == 12) {
        return StatedSize{littleEndian(head, 18, 2), littleEndian(head, 20, 2)};
    }
    if (head.size() < kInfoSizesEnd) {
        return std::nullopt;
    }
    // A negative height stands for top-down rows of the same size.
    const auto width = static_cast<std::int32_t>(littleEndian(head, 18, 4));
    const std::int64_t height = static_cast<std::int32_t>(littleEndian(head, 22, 4));
    return StatedSize{width, height < 0 ? -height : height};
}

std::optional<StatedSize> gifSize(std::span<const std::uint8_t> head) {
    constexpr std::size_t kScreenSizeEnd = 10;
    if (head.size() < kScreenSizeEnd) {
        return std::nullopt;
    }
    const StatedSize screen{littleEndian(head, 6, 2), littleEndian(head, 8, 2)};
    // A screen of zero size takes the first image's extent, which the head may not reach.
    if (screen.width == 0 || screen.height == 0) {
        return std::nullopt;
    }
    return screen;
}

// The segments walked up to the first frame header (SOF0..SOF15 but for DHT, JPG and DAC). Fill
// bytes before a marker stop the walk: the decoder alone tells where such a file's frame is.
std::optional<StatedSize> jpegSize(std::span<const std::uint8_t> head) {
    std::size_t at = 2;
    while (at + 4 <= head.size() && head[at] == 0xFF && head[at + 1] != 0xFF) {
        const std::uint8_t marker = head[at + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            if (at + 9 > head.size()) {
                return std::nullopt;
            }
            return StatedSize{(std::int64_t{head[at + 7]} << 8) | head[at + 8],
                              (std::int64_t{head[at + 5]} << 8) | head[at + 6]};
        }
        at += 2 + ((std::size_t{head[at + 2]} << 8) | head[at + 3]);
    }
    return std::nullopt;
}

} // namespace

std::optional<StatedSize> statedPictureSize(PictureFormat format,
                                            std::span<const std::uint8_t> head) {
    switch (format) {
    case PictureFormat::Bmp:
        return bmpSize(head);
    case PictureFormat::Gif:
        return gifSize(head);
    case PictureFormat::Jpeg:
        return jpegSize(head);
    case PictureFormat::Png:
    case PictureFormat::None:
        return std::nullopt;
    }
    return std::nullopt;
}
