// The memory all loaded pictures may take together, whatever the picture folder holds.
//
// A picture counts from its load until its slot loads again, is constructed again or is destroyed:
// 4 bytes a pixel for the picture (a GIF's first image's pixels when they are more: decoding it
// takes as long as a picture that size), 8 more when a pixel reader starts for it (the reader's
// copy and the pixel table). The copy goes back to the system when the reader ends but stays
// counted, so which pictures load never depends on how fast the readers run. While a picture
// decodes, its file's bytes, its own 4 bytes a pixel and the decoder's working memory must fit in
// what is left as well; the file goes once it is decoded. Game thread only, as loading is.
#pragma once

#include <cstdint>

// The game's own hundred pictures count 1.5 MiB. 256 pictures as large as the window (392 × 88)
// count 101 MiB, and one picture at the pixel cap counts 192 MiB: both fit.
inline constexpr std::int64_t kPictureBudgetBytes = std::int64_t{256} << 20;
inline constexpr std::int64_t kReaderBytesPerPixel = 8;

// The bytes the slots' pictures count now.
inline std::int64_t pictureBytesCounted = 0;

// The bytes of picture files the slots may read whole, counted from the last reset: the whole
// folder, read at start-up, would otherwise take tens of seconds for files that state small
// pictures and are as long as a file may be. A file that would go past it is not read.
inline constexpr std::int64_t kPictureReadBytes = kPictureBudgetBytes;
inline std::int64_t pictureBytesRead = 0;
