// JPEG and GIF decoding on Windows, through the Windows Imaging Component: the system's own
// decoders, so the program ships no library of its own for them.
//
// Implements decodeJpeg (jpeg_decoder.h) and decodeGif (gif_decoder.h) with the same results as
// the library decoders of the other systems:
//  [x] JPEG: whatever the system's decoder reads (baseline, progressive, grayscale, YCbCr, CMYK),
//      converted by the system to 8-bit RGB.
//  [x] GIF: the first image only, placed at its offset on the logical screen and clipped to it;
//      the transparent index of its graphics control extension; uncovered and transparent pixels
//      take the global map's background colour, black when there is none or the index is outside
//      the map. An image whose indices fall outside its colour map is refused.
//  [x] The size caps and the caller's allowance of platform/picture_limits.h, checked on the
//      frame's (and the GIF screen's) stated size before any pixels are copied. The JPEG
//      decoder's own buffers are taken to be another picture's worth of the allowance.
//  [ ] The scan limit of the library JPEG decoder: the system decoder has its own.
//  [ ] Patching over broken data: a JPEG scan cut short, a GIF code past its table, are refused.
// Any thread: each call starts COM on its thread for the call's length when it is not started
// there already. Nothing is printed.
#pragma once

#include "platform/gif_decoder.h"
#include "platform/jpeg_decoder.h"
