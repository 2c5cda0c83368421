#include "platform/encoded_pictures.h"

#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <stdexcept>

namespace testing_pictures {
namespace {

using Microsoft::WRL::ComPtr;

void check(HRESULT result, const char* what) {
    if (FAILED(result)) {
        throw std::runtime_error(what);
    }
}

std::vector<std::uint8_t> streamBytes(IStream& stream) {
    HGLOBAL memory = nullptr;
    check(GetHGlobalFromStream(&stream, &memory), "no stream memory");
    STATSTG info{};
    check(stream.Stat(&info, STATFLAG_NONAME), "no stream size");
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(memory));
    std::vector<std::uint8_t> file(bytes, bytes + info.cbSize.QuadPart);
    GlobalUnlock(memory);
    return file;
}

// Writes codes of a fixed width, least significant bit first, in sub-blocks of 255 bytes.
class CodeWriter {
  public:
    explicit CodeWriter(int width) : width_(width) {}
    void put(int code) {
        bits_ |= static_cast<std::uint32_t>(code) << filled_;
        filled_ += width_;
        while (filled_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            filled_ -= 8;
        }
    }
    std::vector<std::uint8_t> finish() {
        if (filled_ > 0) {
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
        }
        std::vector<std::uint8_t> blocks;
        for (std::size_t at = 0; at < bytes_.size(); at += 255) {
            const std::size_t length = std::min<std::size_t>(255, bytes_.size() - at);
            blocks.push_back(static_cast<std::uint8_t>(length));
            blocks.insert(blocks.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at),
                          bytes_.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        blocks.push_back(0);
        return blocks;
    }

  private:
    int width_;
    std::uint32_t bits_ = 0;
    int filled_ = 0;
    std::vector<std::uint8_t> bytes_;
};

void put16(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// log2 of a map's size less one, as the GIF's packed fields hold it; maps are powers of two.
int sizeField(const std::vector<std::uint32_t>& map) {
    int field = 0;
    while ((std::size_t{2} << field) < map.size()) {
        ++field;
    }
    return field;
}

void putMap(std::vector<std::uint8_t>& out, const std::vector<std::uint32_t>& map) {
    for (const std::uint32_t colour : map) {
        out.insert(out.end(),
                   {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                    static_cast<std::uint8_t>(colour)});
    }
}

// Literal codes only, with a clear code before the decoder's table could grow a code wider:
// valid LZW data that any decoder reads, and simple enough to trust.
std::vector<std::uint8_t> lzwLiterals(int minCodeSize, const std::vector<std::uint8_t>& indices) {
    const int clear = 1 << minCodeSize;
    const int literalsPerClear = clear - 2;
    CodeWriter writer(minCodeSize + 1);
    int sinceClear = literalsPerClear;
    for (const std::uint8_t index : indices) {
        if (sinceClear == literalsPerClear) {
            writer.put(clear);
            sinceClear = 0;
        }
        writer.put(index);
        ++sinceClear;
    }
    writer.put(clear + 1);
    return writer.finish();
}

void putImage(std::vector<std::uint8_t>& out, const GifSpec& recipe,
              const std::vector<std::uint8_t>& indices) {
    out.push_back(0x2C);
    put16(out, recipe.left);
    put16(out, recipe.top);
    put16(out, recipe.width);
    put16(out, recipe.height);
    std::uint8_t packed = recipe.interlaced ? 0x40 : 0;
    if (!recipe.localMap.empty()) {
        packed |= static_cast<std::uint8_t>(0x80 | sizeField(recipe.localMap));
    }
    out.push_back(packed);
    putMap(out, recipe.localMap);
    // An interlaced image stores rows 0, 8, 16…, then 4, 12…, then 2, 6…, then 1, 3…
    std::vector<std::uint8_t> stored;
    auto putRow = [&](int y) {
        stored.insert(stored.end(), indices.begin() + y * recipe.width,
                      indices.begin() + (y + 1) * recipe.width);
    };
    if (recipe.interlaced) {
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
            for (int y = start; y < recipe.height; y += step) {
                putRow(y);
            }
        }
    } else {
        for (int y = 0; y < recipe.height; ++y) {
            putRow(y);
        }
    }
    const auto& map = recipe.localMap.empty() ? recipe.globalMap : recipe.localMap;
    const int minCodeSize = std::max(2, sizeField(map) + 1);
    out.push_back(static_cast<std::uint8_t>(minCodeSize));
    const std::vector<std::uint8_t> data = lzwLiterals(minCodeSize, stored);
    out.insert(out.end(), data.begin(), data.end());
}

} // namespace

bool progressiveJpegAvailable() {
    return false;
}

bool decodersRepairBrokenData() {
    return false;
}

std::vector<std::uint8_t> makeJpeg(int width, int height, const std::vector<std::uint32_t>& pixels,
                                   JpegColours colours, bool progressive) {
    if (progressive || (colours != JpegColours::YCbCr && colours != JpegColours::Gray)) {
        throw std::runtime_error("the system's JPEG encoder writes baseline RGB and grey only");
    }
    check(CoInitializeEx(nullptr, COINIT_MULTITHREADED), "no COM");
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_PPV_ARGS(&factory)),
          "no imaging factory");
    check(CreateStreamOnHGlobal(nullptr, TRUE, &stream), "no stream");
    check(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder), "no encoder");
    check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), "encoder refused");
    check(encoder->CreateNewFrame(&frame, &options), "no frame");
    PROPBAG2 quality{};
    quality.pstrName = const_cast<wchar_t*>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = 0.95f;
    check(options->Write(1, &quality, &value), "quality refused");
    check(frame->Initialize(options.Get()), "frame refused");
    check(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)), "size refused");
    const bool gray = colours == JpegColours::Gray;
    WICPixelFormatGUID format = gray ? GUID_WICPixelFormat8bppGray : GUID_WICPixelFormat24bppBGR;
    check(frame->SetPixelFormat(&format), "format refused");
    const int channels = gray ? 1 : 3;
    std::vector<BYTE> rows;
    for (const std::uint32_t p : pixels) {
        if (gray) {
            rows.push_back(static_cast<BYTE>(p >> 8)); // the test's greys have equal channels
        } else {
            rows.insert(rows.end(), {static_cast<BYTE>(p), static_cast<BYTE>(p >> 8),
                                     static_cast<BYTE>(p >> 16)});
        }
    }
    check(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width * channels),
                             static_cast<UINT>(rows.size()), rows.data()),
          "pixels refused");
    check(frame->Commit(), "frame not written");
    check(encoder->Commit(), "file not written");
    std::vector<std::uint8_t> file = streamBytes(*stream.Get());
    CoUninitialize();
    return file;
}

std::vector<std::uint8_t> makeGif(const GifSpec& recipe) {
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, recipe.screenWidth);
    put16(out, recipe.screenHeight);
    std::uint8_t packed = 0x70; // 8 bits of colour resolution, as the library writes
    if (!recipe.globalMap.empty()) {
        packed |= static_cast<std::uint8_t>(0x80 | sizeField(recipe.globalMap));
    }
    out.push_back(packed);
    out.push_back(static_cast<std::uint8_t>(recipe.background));
    out.push_back(0);
    putMap(out, recipe.globalMap);
    if (recipe.transparent >= 0) {
        out.insert(out.end(),
                   {0x21, 0xF9, 4, 1, 0, 0, static_cast<std::uint8_t>(recipe.transparent), 0});
    }
    putImage(out, recipe, recipe.indices);
    if (!recipe.secondFrame.empty()) {
        putImage(out, recipe, recipe.secondFrame);
    }
    out.push_back(0x3B);
    return out;
}

} // namespace testing_pictures
