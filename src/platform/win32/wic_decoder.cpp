#include "platform/win32/wic_decoder.h"

#include "platform/picture_limits.h"

#include <windows.h>

#include <propvarutil.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <vector>

namespace platform {
namespace {

using Microsoft::WRL::ComPtr;

// COM for the length of one decode, on whatever thread it runs.
class ComScope {
  public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    // A thread that already runs COM in another mode serves as it is.
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT result_;
};

struct Decoding {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
};

// The first frame of a file in the container `format`; false when the system cannot read it.
bool openFirstFrame(std::span<const std::uint8_t> file, const GUID& format, Decoding& d) {
    if (file.empty() || file.size() > kMaxPictureFileBytes) {
        return false;
    }
    ComPtr<IWICStream> stream;
    GUID container{};
    // The stream only reads the bytes, whatever its signature says.
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&d.factory))) &&
           SUCCEEDED(d.factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(file.data()),
                                                  static_cast<DWORD>(file.size()))) &&
           SUCCEEDED(d.factory->CreateDecoderFromStream(
               stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &d.decoder)) &&
           SUCCEEDED(d.decoder->GetContainerFormat(&container)) && container == format &&
           SUCCEEDED(d.decoder->GetFrame(0, &d.frame));
}

// The system's decoder keeps its own buffers, which cannot be measured or capped from here; they
// are taken to be another picture's worth of 32-bit pixels, out of what the allowance leaves
// beside the picture itself.
bool admitWithDecoder(PictureAllowance& allowance, UINT width, UINT height) {
    if (!admitPicture(allowance, width, height)) {
        return false;
    }
    const std::int64_t picture = kPictureBytesPerPixel * width * height;
    if (decodingRoom(allowance, width, height) < picture) {
        allowance.passed = LimitPassed::Decoding;
        return false;
    }
    return true;
}

// A whole-number item of a metadata reader ("/logscrdesc/Width" and the like); `fallback` when
// the item is missing.
template <typename Reader>
std::int64_t metadataNumber(Reader& reader, const wchar_t* name, std::int64_t fallback) {
    PROPVARIANT value;
    PropVariantInit(&value);
    std::int64_t result = fallback;
    if (SUCCEEDED(reader.GetMetadataByName(name, &value))) {
        switch (value.vt) {
        case VT_UI1:
            result = value.bVal;
            break;
        case VT_UI2:
            result = value.uiVal;
            break;
        case VT_UI4:
            result = value.ulVal;
            break;
        case VT_BOOL:
            result = value.boolVal != VARIANT_FALSE ? 1 : 0;
            break;
        default:
            break;
        }
    }
    PropVariantClear(&value);
    return result;
}

std::vector<std::uint32_t> paletteColours(IWICImagingFactory& factory, IWICBitmapDecoder* decoder,
                                          IWICBitmapFrameDecode* frame) {
    ComPtr<IWICPalette> palette;
    UINT count = 0;
    if (FAILED(factory.CreatePalette(&palette)) ||
        FAILED(decoder != nullptr ? decoder->CopyPalette(palette.Get())
                                  : frame->CopyPalette(palette.Get())) ||
        FAILED(palette->GetColorCount(&count))) {
        return {};
    }
    std::vector<WICColor> colours(count);
    if (count == 0 || FAILED(palette->GetColors(count, colours.data(), &count))) {
        return {};
    }
    colours.resize(count);
    std::vector<std::uint32_t> rgb;
    rgb.reserve(colours.size());
    for (const WICColor colour : colours) {
        rgb.push_back(colour & 0x00FFFFFFu); // ARGB: the alpha byte goes
    }
    return rgb;
}

// The size a JPEG's frame header states, read before the system's decoder sees the file, so that
// the caps and the allowance are checked before it takes any memory for the picture. False when
// the segments end before a frame header.
bool statedJpegSize(std::span<const std::uint8_t> file, UINT& width, UINT& height) {
    std::size_t at = 2;
    while (at + 4 <= file.size() && file[at] == 0xFF) {
        const std::uint8_t marker = file[at + 1];
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > file.size()) {
                return false;
            }
            height = (UINT{file[at + 5]} << 8) | file[at + 6];
            width = (UINT{file[at + 7]} << 8) | file[at + 8];
            return true;
        }
        at += 2 + ((std::size_t{file[at + 2]} << 8) | file[at + 3]);
    }
    return false;
}

// A GIF's logical screen and first image as the file states them.
struct GifLayout {
    std::int64_t screenWidth = 0;
    std::int64_t screenHeight = 0;
    bool globalMap = false;
    std::uint8_t background = 0;
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool localMap = false;
};

// The blocks walked up to the end of the first image's data, before the system's decoder sees the
// file: so the caps and the allowance are checked before it takes memory for the image, and a file
// cut short is refused, as the other systems' library refuses it where the system's decoder would
// make up what is missing. False when the first image's data is not all in the file.
bool readGifLayout(std::span<const std::uint8_t> file, GifLayout& layout) {
    constexpr std::size_t kScreenEnd = 13;
    if (file.size() < kScreenEnd) {
        return false;
    }
    auto word = [&file](std::size_t at) { return std::int64_t{file[at]} | (file[at + 1] << 8); };
    auto mapBytes = [](std::uint8_t packed) {
        return (packed & 0x80) != 0 ? std::size_t{3} << ((packed & 7) + 1) : std::size_t{0};
    };
    layout.screenWidth = word(6);
    layout.screenHeight = word(8);
    layout.globalMap = (file[10] & 0x80) != 0;
    layout.background = file[11];
    std::size_t at = kScreenEnd + mapBytes(file[10]);
    // Sub-blocks: a length byte and that many bytes, until a length of 0.
    auto skipBlocks = [&file](std::size_t from) -> std::size_t {
        while (from < file.size() && file[from] != 0) {
            from += 1 + std::size_t{file[from]};
        }
        return from < file.size() ? from + 1 : 0;
    };
    while (at < file.size()) {
        if (file[at] == 0x21 && at + 1 < file.size()) {
            at = skipBlocks(at + 2);
        } else if (file[at] == 0x2C && at + 10 < file.size()) {
            layout.left = word(at + 1);
            layout.top = word(at + 3);
            layout.width = word(at + 5);
            layout.height = word(at + 7);
            layout.localMap = (file[at + 9] & 0x80) != 0;
            return skipBlocks(at + 10 + mapBytes(file[at + 9]) + 1) != 0;
        } else {
            return false;
        }
        if (at == 0) {
            return false;
        }
    }
    return false;
}

} // namespace

std::optional<Bitmap> decodeJpeg(std::span<const std::uint8_t> file, PictureAllowance& allowance) {
    const ComScope com;
    Decoding d;
    UINT width = 0;
    UINT height = 0;
    UINT decodedWidth = 0;
    UINT decodedHeight = 0;
    if (!statedJpegSize(file, width, height) || !admitWithDecoder(allowance, width, height) ||
        !com.usable() || !openFirstFrame(file, GUID_ContainerFormatJpeg, d) ||
        FAILED(d.frame->GetSize(&decodedWidth, &decodedHeight)) || decodedWidth != width ||
        decodedHeight != height) {
        return std::nullopt;
    }
    ComPtr<IWICBitmapSource> converted;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, d.frame.Get(), &converted))) {
        return std::nullopt;
    }
    std::optional<Bitmap> picture(std::in_place, static_cast<int>(width), static_cast<int>(height));
    // 32bppBGR in memory is B, G, R, unused: a little-endian 0x??RRGGBB.
    if (FAILED(converted->CopyPixels(nullptr, width * 4,
                                     static_cast<UINT>(picture->pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(picture->pixels.data())))) {
        return std::nullopt;
    }
    for (std::uint32_t& pixel : picture->pixels) {
        pixel &= 0x00FFFFFFu;
    }
    return picture;
}

std::optional<Bitmap> decodeJpeg(std::span<const std::uint8_t> file) {
    PictureAllowance capsOnly;
    return decodeJpeg(file, capsOnly);
}

std::optional<Bitmap> decodeGif(std::span<const std::uint8_t> file, PictureAllowance& allowance) {
    GifLayout layout;
    if (!readGifLayout(file, layout) || !pictureSizeAllowed(layout.width, layout.height) ||
        (!layout.localMap && !layout.globalMap)) {
        return std::nullopt;
    }
    // A screen of zero size takes the first image's extent.
    const std::int64_t screenWidth = layout.screenWidth != 0 && layout.screenHeight != 0
                                         ? layout.screenWidth
                                         : layout.left + layout.width;
    const std::int64_t screenHeight = layout.screenWidth != 0 && layout.screenHeight != 0
                                          ? layout.screenHeight
                                          : layout.top + layout.height;
    if (!admitPicture(allowance, screenWidth, screenHeight) ||
        !admitPicture(allowance, layout.width, layout.height)) {
        return std::nullopt;
    }
    const ComScope com;
    Decoding d;
    ComPtr<IWICMetadataQueryReader> frameInfo;
    UINT width = 0;
    UINT height = 0;
    if (!com.usable() || !openFirstFrame(file, GUID_ContainerFormatGif, d) ||
        FAILED(d.frame->GetMetadataQueryReader(&frameInfo)) ||
        FAILED(d.frame->GetSize(&width, &height)) || width != layout.width ||
        height != layout.height) {
        return std::nullopt;
    }

    // The indices as the file has them, mapped here, so that an index past its map is seen.
    WICPixelFormatGUID native{};
    if (FAILED(d.frame->GetPixelFormat(&native)) || native != GUID_WICPixelFormat8bppIndexed) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height);
    if (FAILED(d.frame->CopyPixels(nullptr, width, static_cast<UINT>(indices.size()),
                                   indices.data()))) {
        return std::nullopt;
    }
    // Only a map the file has is asked for: some systems' decoders fail hard on a missing one.
    const std::vector<std::uint32_t> globalMap =
        layout.globalMap ? paletteColours(*d.factory.Get(), d.decoder.Get(), nullptr)
                         : std::vector<std::uint32_t>{};
    const std::vector<std::uint32_t> map =
        layout.localMap ? paletteColours(*d.factory.Get(), nullptr, d.frame.Get()) : globalMap;
    if (map.empty()) {
        return std::nullopt;
    }
    const std::uint32_t background =
        layout.background < globalMap.size() ? globalMap[layout.background] : 0x000000u;
    const bool hasTransparency =
        metadataNumber(*frameInfo.Get(), L"/grctlext/TransparencyFlag", 0) != 0;
    const std::int64_t transparent =
        hasTransparency ? metadataNumber(*frameInfo.Get(), L"/grctlext/TransparentColorIndex", -1)
                        : -1;

    std::optional<Bitmap> picture(std::in_place, static_cast<int>(screenWidth),
                                  static_cast<int>(screenHeight), background);
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            const std::uint8_t index = indices[static_cast<std::size_t>(y) * width + x];
            if (index >= map.size()) {
                return std::nullopt;
            }
            const std::int64_t px = layout.left + x;
            const std::int64_t py = layout.top + y;
            if (index != transparent && px < screenWidth && py < screenHeight) {
                picture->setPixel(static_cast<int>(px), static_cast<int>(py), map[index]);
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
