// A picture file of an image slot: opens a file, tells its format from its first bytes and
// decodes it (BMP with our reader, JPEG and GIF with the platform decoders).
//
// The main (game) thread loads; the slot then draws and copies the bitmap that bitmapHandle()
// returns, which stays valid and unchanged until the next load or the record's end. Missing
// files, unknown formats, PNG files and files a reader rejects all give 0 silently.
#pragma once

#include "platform/bitmap.h"
#include "platform/picture_limits.h"

#include <cstdint>
#include <memory>
#include <span>

enum class PictureFormat { None = 0, Bmp = 1, Jpeg = 2, Gif = 3, Png = 4 };

struct PictureFile {
    std::int32_t width = 0;  // of the picture loaded, or as a PNG file states it
    std::int32_t height = 0; // likewise
    PictureFormat format = PictureFormat::None;
    std::unique_ptr<platform::Bitmap> picture;    // a decoded JPEG or GIF
    std::unique_ptr<platform::Bitmap> bitmapFile; // a decoded BMP

    // Loads the file of the game's name ("bmp\065.bmp"); 1 when a picture was loaded, else 0.
    // Releases the previous picture first, whatever the outcome. The picture its first bytes
    // state is checked before the file is read whole; the file's bytes (held while it decodes)
    // and the picture must fit the allowance, the file's length what it leaves `readable`, and a
    // file read whole comes off that. The allowance says which limit the picture passed.
    int load(const char* fileName, platform::PictureAllowance& allowance);
    // The same within the caps alone.
    int load(const char* fileName);
    // The same from a whole file's bytes (the caller's, outside the allowance).
    int loadBytes(std::span<const std::uint8_t> file, platform::PictureAllowance& allowance);
    int loadBytes(std::span<const std::uint8_t> file);

    // The format by the first bytes of a file; a shorter file counts as if padded with zeros.
    static PictureFormat sniffFormat(std::span<const std::uint8_t> head);

    // The bitmap loaded, or nullptr when there is none.
    const platform::Bitmap* bitmapHandle() const;
};
