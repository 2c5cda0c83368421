#include "platform/wic_decoder.h"

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

bool frameSize(IWICBitmapSource& source, UINT& width, UINT& height) {
    return SUCCEEDED(source.GetSize(&width, &height)) && pictureSizeAllowed(width, height);
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

// The system's decoder makes up what a cut file lacks; the other systems' library refuses a file
// that ends before its first image's data does. So the blocks are walked up to the end of that
// data here: true when it is all in the file.
bool firstImageComplete(std::span<const std::uint8_t> file) {
    constexpr std::size_t kScreenEnd = 13;
    if (file.size() < kScreenEnd) {
        return false;
    }
    auto mapBytes = [](std::uint8_t packed) {
        return (packed & 0x80) != 0 ? std::size_t{3} << ((packed & 7) + 1) : std::size_t{0};
    };
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

std::optional<Bitmap> decodeJpeg(std::span<const std::uint8_t> file) {
    const ComScope com;
    Decoding d;
    UINT width = 0;
    UINT height = 0;
    if (!com.usable() || !openFirstFrame(file, GUID_ContainerFormatJpeg, d) ||
        !frameSize(*d.frame.Get(), width, height)) {
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

std::optional<Bitmap> decodeGif(std::span<const std::uint8_t> file) {
    const ComScope com;
    Decoding d;
    if (!firstImageComplete(file) || !com.usable() ||
        !openFirstFrame(file, GUID_ContainerFormatGif, d)) {
        return std::nullopt;
    }
    ComPtr<IWICMetadataQueryReader> fileInfo;
    ComPtr<IWICMetadataQueryReader> frameInfo;
    if (FAILED(d.decoder->GetMetadataQueryReader(&fileInfo)) ||
        FAILED(d.frame->GetMetadataQueryReader(&frameInfo))) {
        return std::nullopt;
    }
    UINT width = 0;
    UINT height = 0;
    if (!frameSize(*d.frame.Get(), width, height)) {
        return std::nullopt;
    }
    const std::int64_t left = metadataNumber(*frameInfo.Get(), L"/imgdesc/Left", 0);
    const std::int64_t top = metadataNumber(*frameInfo.Get(), L"/imgdesc/Top", 0);
    std::int64_t screenWidth = metadataNumber(*fileInfo.Get(), L"/logscrdesc/Width", 0);
    std::int64_t screenHeight = metadataNumber(*fileInfo.Get(), L"/logscrdesc/Height", 0);
    if (screenWidth == 0 || screenHeight == 0) {
        screenWidth = left + width;
        screenHeight = top + height;
    }
    if (!pictureSizeAllowed(screenWidth, screenHeight)) {
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
    const bool hasLocalMap =
        metadataNumber(*frameInfo.Get(), L"/imgdesc/LocalColorTableFlag", 0) != 0;
    const bool hasGlobalMap =
        metadataNumber(*fileInfo.Get(), L"/logscrdesc/GlobalColorTableFlag", 0) != 0;
    if (!hasLocalMap && !hasGlobalMap) {
        return std::nullopt;
    }
    const std::vector<std::uint32_t> globalMap =
        hasGlobalMap ? paletteColours(*d.factory.Get(), d.decoder.Get(), nullptr)
                     : std::vector<std::uint32_t>{};
    const std::vector<std::uint32_t> map =
        hasLocalMap ? paletteColours(*d.factory.Get(), nullptr, d.frame.Get()) : globalMap;
    if (map.empty()) {
        return std::nullopt;
    }
    const std::int64_t backgroundIndex =
        metadataNumber(*fileInfo.Get(), L"/logscrdesc/BackgroundColorIndex", 0);
    const std::uint32_t background =
        hasGlobalMap && backgroundIndex < static_cast<std::int64_t>(globalMap.size())
            ? globalMap[static_cast<std::size_t>(backgroundIndex)]
            : 0x000000u;
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
            const std::int64_t px = left + x;
            const std::int64_t py = top + y;
            if (index != transparent && px < screenWidth && py < screenHeight) {
                picture->setPixel(static_cast<int>(px), static_cast<int>(py), map[index]);
            }
        }
    }
    return picture;
}

} // namespace platform
