// Writes the seed corpora of the fuzz targets: small valid files of every kind and variant the
// readers handle, made with our BMP builder and the libraries' own encoders, so that no picture
// has to be kept in the repository or fetched.
//
// Usage: kestrilon-fuzz-seeds <folder>; fills <folder>/{bmp,gif,jpeg,png,picture,replay}, where
// picture holds every file of the pictures' corpora (PNG with its signature).
#include "image/bmp_builder.h"
#include "platform/encoded_pictures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using namespace testing_pictures;

namespace {

using Bytes = std::vector<std::uint8_t>;

class SeedWriter {
  public:
    explicit SeedWriter(std::filesystem::path root) : root_(std::move(root)) {
        for (const char* kind : {"bmp", "gif", "jpeg", "png", "picture", "replay"}) {
            std::filesystem::create_directories(root_ / kind);
        }
    }

    // Into the kind's corpus and the whole-loader corpus.
    void add(const std::string& kind, const std::string& name, const Bytes& file) {
        write(root_ / kind / name, file);
        write(root_ / "picture" / (kind + "-" + name), file);
        ++count_;
    }

    // The PNG target's input is what follows the signature.
    void addPng(const std::string& name, const Bytes& afterSignature) {
        write(root_ / "png" / name, afterSignature);
        Bytes file = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
        file.insert(file.end(), afterSignature.begin(), afterSignature.end());
        write(root_ / "picture" / ("png-" + name), file);
        ++count_;
    }

    // The replay decoder's inputs are no pictures: into their own corpus only.
    void addReplay(const std::string& name, std::string_view input) {
        write(root_ / "replay" / name, Bytes(input.begin(), input.end()));
        ++count_;
    }

    int count() const { return count_; }

  private:
    static void write(const std::filesystem::path& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            throw std::runtime_error("cannot write " + path.string());
        }
    }

    std::filesystem::path root_;
    int count_ = 0;
};

constexpr std::uint32_t kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;

// Uncompressed rows of any depth, padded; at 8 bits or fewer any index is inside a full palette.
Bytes patternRows(int width, int height, int bits) {
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    Bytes rows(stride * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    return rows;
}

std::vector<std::uint32_t> grayPalette(int entries) {
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < entries; ++i) {
        palette.push_back(static_cast<std::uint32_t>(i * 255 / (entries - 1)) * 0x010101);
    }
    return palette;
}

void addBmps(SeedWriter& seeds) {
    for (std::uint32_t header : {12u, 40u, 52u, 56u, 108u, 124u}) {
        const std::string h = "h" + std::to_string(header);
        const bool core = header == 12;
        for (std::uint16_t bits : {1, 4, 8, 16, 24, 32}) {
            if (core && (bits == 16 || bits == 32)) {
                continue;
            }
            BmpSpec s;
            s.headerSize = header;
            s.width = 5;
            s.height = 3;
            s.bitsPerPixel = bits;
            if (bits <= 8) {
                s.palette = grayPalette(1 << bits);
            }
            s.pixels = patternRows(s.width, s.height, bits);
            seeds.add("bmp", h + "-rgb" + std::to_string(bits) + ".bmp", makeBmp(s));
            if (!core && (bits == 24 || bits == 8)) {
                s.height = -3;
                seeds.add("bmp", h + "-rgb" + std::to_string(bits) + "-topdown.bmp", makeBmp(s));
            }
        }
        if (core) {
            continue;
        }
        for (std::uint16_t bits : {16, 32}) {
            BmpSpec s;
            s.headerSize = header;
            s.width = 5;
            s.height = 3;
            s.bitsPerPixel = bits;
            s.compression = kBitfields;
            s.masks = bits == 16 ? std::vector<std::uint32_t>{0xF800, 0x07E0, 0x001F}
                                 : std::vector<std::uint32_t>{0x3FF00000, 0x000FFC00, 0x3FF};
            s.pixels = patternRows(s.width, s.height, bits);
            seeds.add("bmp", h + "-bitfields" + std::to_string(bits) + ".bmp", makeBmp(s));
            s.compression = kAlphaBitfields;
            s.masks = bits == 16 ? std::vector<std::uint32_t>{0x0F00, 0x00F0, 0x000F, 0xF000}
                                 : std::vector<std::uint32_t>{0xFF0000, 0xFF00, 0xFF, 0xFF000000};
            seeds.add("bmp", h + "-alphabitfields" + std::to_string(bits) + ".bmp", makeBmp(s));
        }
        // Runs, an absolute run, a delta, end of line and end of bitmap in both RLE kinds.
        BmpSpec rle8;
        rle8.headerSize = header;
        rle8.width = 5;
        rle8.height = 3;
        rle8.bitsPerPixel = 8;
        rle8.compression = kRle8;
        rle8.colorsUsed = 4;
        rle8.palette = {0x808080, 0xFF0000, 0x00FF00, 0x0000FF};
        rle8.pixels = {5, 1, 0, 0, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 2, 3, 0, 1};
        seeds.add("bmp", h + "-rle8.bmp", makeBmp(rle8));
        BmpSpec rle4 = rle8;
        rle4.bitsPerPixel = 4;
        rle4.compression = kRle4;
        rle4.pixels = {5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 2, 1, 1, 2, 0x33, 0, 1};
        seeds.add("bmp", h + "-rle4.bmp", makeBmp(rle4));
    }
}

GifSpec baseGif() {
    GifSpec recipe;
    recipe.screenWidth = 6;
    recipe.screenHeight = 5;
    recipe.globalMap = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    recipe.background = 2;
    recipe.left = 1;
    recipe.top = 1;
    recipe.width = 4;
    recipe.height = 3;
    recipe.indices = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 3, 3};
    return recipe;
}

void addGifs(SeedWriter& seeds) {
    seeds.add("gif", "plain.gif", makeGif(baseGif()));
    GifSpec interlaced = baseGif();
    interlaced.screenHeight = 12;
    interlaced.height = 11;
    interlaced.top = 0;
    interlaced.indices.clear();
    for (int i = 0; i < 4 * 11; ++i) {
        interlaced.indices.push_back(static_cast<std::uint8_t>(i % 4));
    }
    interlaced.interlaced = true;
    seeds.add("gif", "interlaced.gif", makeGif(interlaced));
    GifSpec transparent = baseGif();
    transparent.transparent = 3;
    seeds.add("gif", "transparent.gif", makeGif(transparent));
    GifSpec local = baseGif();
    local.globalMap.clear();
    local.localMap = {0x111111, 0x222222, 0x333333, 0x444444,
                      0x555555, 0x666666, 0x777777, 0x888888};
    seeds.add("gif", "local-map.gif", makeGif(local));
    GifSpec both = baseGif();
    both.localMap = {0xFFFFFF, 0x000000};
    both.indices = {0, 1, 0, 1, 1, 0, 1, 0, 0, 0, 1, 1};
    seeds.add("gif", "local-and-global-map.gif", makeGif(both));
    GifSpec zeroScreen = baseGif();
    zeroScreen.screenWidth = 0;
    zeroScreen.screenHeight = 0;
    seeds.add("gif", "zero-screen.gif", makeGif(zeroScreen));
    GifSpec animated = baseGif();
    animated.secondFrame = animated.indices;
    seeds.add("gif", "two-frames.gif", makeGif(animated));
    GifSpec clipped = baseGif();
    clipped.left = 4;
    clipped.top = 3;
    seeds.add("gif", "clipped.gif", makeGif(clipped));
}

void addJpegs(SeedWriter& seeds) {
    const std::pair<JpegColours, const char*> models[] = {{JpegColours::YCbCr, "ycbcr"},
                                                          {JpegColours::Gray, "gray"},
                                                          {JpegColours::AdobeCmyk, "adobe-cmyk"},
                                                          {JpegColours::PlainCmyk, "plain-cmyk"}};
    // 17 × 9 leaves partial blocks at the right and bottom edges.
    const auto pixels = quadrants(17, 9);
    for (const auto& [model, name] : models) {
        seeds.add("jpeg", std::string(name) + "-baseline.jpg", makeJpeg(17, 9, pixels, model));
        seeds.add("jpeg", std::string(name) + "-progressive.jpg",
                  makeJpeg(17, 9, pixels, model, true));
    }
}

Bytes pngAfterSignature(std::uint32_t width, std::uint32_t height) {
    Bytes out = {0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (std::uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    }
    for (std::uint8_t b : {8, 2, 0, 0, 0, 0x12, 0x34, 0x56, 0x78}) {
        out.push_back(b);
    }
    return out;
}

void addPngs(SeedWriter& seeds) {
    seeds.addPng("ihdr.png", pngAfterSignature(640, 480));
    seeds.addPng("huge.png", pngAfterSignature(0x7FFFFFFF, 0xFFFFFFFF));
    Bytes cut = pngAfterSignature(12, 34);
    cut.resize(10);
    seeds.addPng("cut.png", cut);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    SeedWriter seeds(argv[1]);
    addBmps(seeds);
    addGifs(seeds);
    addJpegs(seeds);
    addPngs(seeds);
    // fuzz_replay_code's inputs: a first byte of 0 for a code, 1 for a body to frame.
    using namespace std::string_view_literals;
    seeds.addReplay("code", "\0K1.DKwCA4ABggXsB8gzXw"sv);
    seeds.addReplay("code-as-edited", "\0\xEF\xBB\xBF K1.BAAAEFw\r\n"sv);
    seeds.addReplay("body", "\1\xAC\x02\x03\x80\x01\x82\x05\xEC\x07\xC8"sv);
    std::printf("%d seed files in %s\n", seeds.count(), argv[1]);
    return 0;
}
