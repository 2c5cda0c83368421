// The size caps every picture reader checks before it takes pixel memory, and the allowance a
// caller gives one picture out of the memory it keeps for all of them.
//
// Picture files are untrusted: a header may claim any size. The glyphs and the backdrop are a few
// hundred pixels wide, so these caps only ever turn away crafted or broken files. Pure functions,
// any thread; an allowance belongs to the one load it is made for.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace platform {

inline constexpr std::int64_t kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = 16 * 1024 * 1024;
// Enough for an uncompressed 32-bit BMP of kMaxPicturePixels with its headers.
inline constexpr std::size_t kMaxPictureFileBytes = 80u * 1024 * 1024;
// A decoded picture keeps one 32-bit colour per pixel.
inline constexpr std::int64_t kPictureBytesPerPixel = 4;

// True when a picture of width × height may be allocated: both sides 1..kMaxPictureSide and at
// most kMaxPicturePixels in all. Takes 64-bit sides so callers never overflow before asking.
constexpr bool pictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

// Which limit turned a picture away, when one did.
enum class LimitPassed {
    None,
    Kept,     // its memory once kept, beside what the other pictures keep
    Decoding, // its file, its picture and the decoder's memory, held together while it decodes
    Reading,  // the bytes the caller lets it read
};

// The memory one picture may take: once it is kept (bytesPerPixel for each pixel, the picture and
// whatever the caller keeps beside it) and while it is decoded (its pixels, the file's bytes held
// until then and the decoder's working memory). A reader asks admitPicture before it takes pixel
// memory; the default allows whatever the caps allow.
struct PictureAllowance {
    std::int64_t bytes = std::numeric_limits<std::int64_t>::max();
    std::int64_t bytesPerPixel = kPictureBytesPerPixel;
    // The file's bytes, held only until the picture is decoded.
    std::int64_t heldWhileDecoding = 0;
    // The bytes the caller lets a load read whole; what it reads comes off.
    std::int64_t readable = std::numeric_limits<std::int64_t>::max();
    // Set when the allowance alone turned the picture away (not the caps or a broken file).
    LimitPassed passed = LimitPassed::None;
    // The most pixels admitted: what the picture counts as once kept. A GIF admits its first
    // frame beside its screen: a frame far larger than the screen takes the frame's time to
    // decode, and counted at its size a folder of them soon has no budget left to spend.
    std::int64_t countedPixels = 0;
};

// What is left for the decoder's working memory beside a width × height picture and the bytes
// held while it decodes; negative when even those do not fit.
constexpr std::int64_t decodingRoom(const PictureAllowance& allowance, std::int64_t width,
                                    std::int64_t height) {
    return allowance.bytes - allowance.heldWhileDecoding - kPictureBytesPerPixel * width * height;
}

// True when a picture of width × height is within the caps and the allowance, and then counted
// (countedPixels). A picture within the caps but past the allowance says which part it passed.
constexpr bool admitPicture(PictureAllowance& allowance, std::int64_t width, std::int64_t height) {
    if (!pictureSizeAllowed(width, height)) {
        return false;
    }
    if (width * height > allowance.bytes / allowance.bytesPerPixel) {
        allowance.passed = LimitPassed::Kept;
        return false;
    }
    if (decodingRoom(allowance, width, height) < 0) {
        allowance.passed = LimitPassed::Decoding;
        return false;
    }
    allowance.countedPixels = std::max(allowance.countedPixels, width * height);
    return true;
}

} // namespace platform
