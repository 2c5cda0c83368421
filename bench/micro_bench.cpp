// Micro-benchmarks, each beside its reference from the same run: one LCD redraw beside a plain
// copy of the same bytes, the present of a frame, our BMP reader beside SDL_LoadBMP on the same
// files, and our JPEG and GIF paths beside the bare library calls.
//
// usage: kestrilon-bench-micro [Google Benchmark flags]   (default: 5 shuffled repetitions)
// Prints rows of a Markdown table: figure, ours, reference. The present needs a display
// ($DISPLAY); without one its row says so.
#include "app/picture_folder.h"
#include "image/bmp_builder.h"
#include "image/bmp_reader.h"
#include "image/image_slot.h"
#include "lcd/glyph_set.h"
#include "lcd/lcd_row.h"
#include "lcd/slot_display.h"
#include "platform/encoded_pictures.h"
#include "platform/gif_decoder.h"
#include "platform/headless/headless_window_host.h"
#include "platform/jpeg_decoder.h"
#include "prompt/prompt_window.h"
#include "prompt/prompt_window_proc.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <gif_lib.h>
#include <jpeglib.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A picture with detail everywhere, so that no codec meets long runs of one colour.
std::uint32_t patternAt(int x, int y) {
    const auto r = static_cast<std::uint32_t>((x * 7 + y * 3) & 0xFF);
    const auto g = static_cast<std::uint32_t>((x ^ y) & 0xFF);
    const auto b = static_cast<std::uint32_t>((x * y / 64) & 0xFF);
    return (r << 16) | (g << 8) | b;
}

// An uncompressed BMP of the pattern at `bits` per pixel; palettes are grey ramps.
Bytes uncompressedBmp(int bits) {
    BmpSpec picture;
    picture.width = kWidth;
    picture.height = kHeight;
    picture.bitsPerPixel = static_cast<std::uint16_t>(bits);
    if (bits <= 8) {
        const int colours = 1 << bits;
        for (int i = 0; i < colours; ++i) {
            const auto level = static_cast<std::uint32_t>(i * 255 / (colours - 1));
            picture.palette.push_back(level * 0x010101u);
        }
    }
    const int rowBytes = (kWidth * bits + 31) / 32 * 4;
    for (int y = 0; y < kHeight; ++y) {
        Bytes row(static_cast<std::size_t>(rowBytes), 0);
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t colour = patternAt(x, y);
            if (bits >= 24) {
                const std::size_t at = static_cast<std::size_t>(x) * (bits / 8);
                row[at] = static_cast<std::uint8_t>(colour);
                row[at + 1] = static_cast<std::uint8_t>(colour >> 8);
                row[at + 2] = static_cast<std::uint8_t>(colour >> 16);
            } else {
                const std::uint32_t index = (colour & 0xFF) >> (8 - bits);
                const int bit = x * bits;
                row[static_cast<std::size_t>(bit / 8)] |=
                    static_cast<std::uint8_t>(index << (8 - bits - bit % 8));
            }
        }
        picture.pixels.insert(picture.pixels.end(), row.begin(), row.end());
    }
    return makeBmp(picture);
}

// An RLE BMP: every row runs of 5 pixels of one colour, then an end of line; an end of bitmap.
Bytes rleBmp(std::uint32_t compression) {
    Bytes stream;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; x += 5) {
            const auto index = static_cast<std::uint8_t>((x / 5 + y) % 4);
            stream.push_back(5);
            stream.push_back(
                compression == kBmpRle8 ? index : static_cast<std::uint8_t>(index << 4 | index));
        }
        stream.insert(stream.end(), {0, 0});
    }
    stream.insert(stream.end(), {0, 1});
    return makeBmp(rle(compression, kWidth, kHeight, stream));
}

std::vector<std::uint32_t> patternPixels() {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            pixels.push_back(patternAt(x, y));
        }
    }
    return pixels;
}

Bytes gifFile() {
    testing_pictures::GifSpec gif;
    gif.screenWidth = gif.width = kWidth;
    gif.screenHeight = gif.height = kHeight;
    for (int i = 0; i < 256; ++i) {
        gif.globalMap.push_back(patternAt(i, 255 - i));
    }
    for (std::uint32_t colour : patternPixels()) {
        gif.indices.push_back(static_cast<std::uint8_t>(colour ^ (colour >> 8)));
    }
    return testing_pictures::makeGif(gif);
}

void setBytes(benchmark::State& state, const Bytes& file) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void oursBmp(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        platform::PictureAllowance allowance;
        benchmark::DoNotOptimize(readBmp(file, allowance));
    }
    setBytes(state, file);
}

// SDL keeps a file's own pixel format (an 8-bit file stays indices, a 24-bit one stays three
// bytes a pixel), so it is timed both as it loads and converted to the 32-bit pixels ours gives.
void sdlBmp(benchmark::State& state, const Bytes& file, bool convert) {
    for (auto _ : state) {
        SDL_Surface* surface = SDL_LoadBMP_RW(SDL_RWFromConstMem(file.data(), file.size()), 1);
        if (surface == nullptr) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        if (convert) {
            SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGB888, 0);
            SDL_FreeSurface(converted);
        }
        SDL_FreeSurface(surface);
    }
    setBytes(state, file);
}

void oursJpeg(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        platform::PictureAllowance allowance;
        benchmark::DoNotOptimize(platform::decodeJpeg(file, allowance));
    }
    setBytes(state, file);
}

// What any program must do to get RGB rows out of the library, and no more.
void bareJpeg(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        jpeg_decompress_struct info{};
        jpeg_error_mgr errors{};
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        std::vector<JSAMPLE> pixels(static_cast<std::size_t>(info.output_width) * 3 *
                                    info.output_height);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row =
                &pixels[static_cast<std::size_t>(info.output_scanline) * 3 * info.output_width];
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.data());
    }
    setBytes(state, file);
}

void oursGif(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        platform::PictureAllowance allowance;
        benchmark::DoNotOptimize(platform::decodeGif(file, allowance));
    }
    setBytes(state, file);
}

struct MemoryFile {
    const Bytes* bytes;
    std::size_t at = 0;
};

int readMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* file = static_cast<MemoryFile*>(gif->UserData);
    const std::size_t count =
        std::min(static_cast<std::size_t>(length), file->bytes->size() - file->at);
    std::memcpy(buffer, file->bytes->data() + file->at, count);
    file->at += count;
    return static_cast<int>(count);
}

// The library's own whole-file read: every image's indices, no colours looked up.
void bareGif(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        MemoryFile memory{&file};
        int error = 0;
        GifFileType* gif = DGifOpen(&memory, readMemory, &error);
        if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("the GIF did not read");
            break;
        }
        benchmark::DoNotOptimize(gif->SavedImages);
        DGifCloseFile(gif, &error);
    }
    setBytes(state, file);
}

// The desktop's drawing path without the display: the real pictures drawn through the image
// records into a headless window's pixels and the back buffer.
struct DrawingSetup {
    platform::HeadlessWindowHost window{1024, 768};
    SlotDisplay display;
    std::size_t rowBytes = 0;

    DrawingSetup() {
        runtimeInit();
        window.open("PROMPT");
        promptWindow.backBufferWidth = window.screenWidth();
        promptWindow.backBufferHeight = window.screenHeight();
        window.create({"QUILL PROMPT", platform::WS_OVERLAPPEDWINDOW}, promptWindowProc);
        promptWindow.handle.store(&window);
        for (ImageSlot& slot : imageSlots) {
            slot.construct();
        }
        moveToPictureFolder();
        GlyphSet::loadGlyphs();
        GlyphSet::bindGlyphs();
        useLcdDisplay(&display);
        const std::string title = "PUSH ENTER  ";
        for (int i = 0; i < LcdRow::kCells; ++i) {
            LcdRow::cells[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(title[i]);
            const platform::Bitmap* cell = imageSlots[static_cast<unsigned char>(title[i])].bitmap;
            if (cell != nullptr) {
                // Each cell goes to the window's pixels and to the back buffer.
                rowBytes += 2 * cell->pixels.size() * sizeof(std::uint32_t);
            }
        }
    }
};

DrawingSetup& drawing() {
    static DrawingSetup setup;
    return setup;
}

void lcdRedraw(benchmark::State& state) {
    drawing();
    for (auto _ : state) {
        LcdRow::redraw();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * drawing().rowBytes));
}

// The same cell pictures copied row by row to the same places of the same two pictures, with
// nothing else: no lock, no clipping, no raster operation, no present request.
void rowCopy(benchmark::State& state) {
    DrawingSetup& setup = drawing();
    platform::Bitmap& client = setup.window.clientPixels();
    platform::Bitmap& backBuffer = *promptWindow.backBuffer;
    for (auto _ : state) {
        for (int i = 0; i < LcdRow::kCells; ++i) {
            const platform::Bitmap* cell =
                imageSlots[static_cast<std::size_t>(LcdRow::cells[static_cast<std::size_t>(i)])]
                    .bitmap;
            for (platform::Bitmap* target : {&client, &backBuffer}) {
                for (int y = 0; y < cell->height; ++y) {
                    std::memcpy(&target->pixels[static_cast<std::size_t>(40 + y) * target->width +
                                                8 + 32 * i],
                                &cell->pixels[static_cast<std::size_t>(y) * cell->width],
                                static_cast<std::size_t>(cell->width) * 4);
                }
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * setup.rowBytes));
}

// The same number of bytes in one block.
void plainCopy(benchmark::State& state) {
    const std::size_t bytes = drawing().rowBytes;
    std::vector<std::uint8_t> from(bytes, 1);
    std::vector<std::uint8_t> to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// What the SDL window host does for a present at scale 1: the client pixels blitted into the
// window's surface, and the surface shown.
void present(benchmark::State& state) {
    // Without a display there is no window; the benchmark then reports an error.
    SDL_Window* window =
        SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_CreateWindow("bench", 0, 0, 392, 88, 0) : nullptr;
    SDL_Surface* surface = window != nullptr ? SDL_GetWindowSurface(window) : nullptr;
    if (surface == nullptr) {
        state.SkipWithError("no window to present to");
        return;
    }
    platform::Bitmap pixels(392, 88, 0x336699);
    for (auto _ : state) {
        SDL_Surface* client = SDL_CreateRGBSurfaceWithFormatFrom(pixels.pixels.data(), 392, 88, 32,
                                                                 392 * 4, SDL_PIXELFORMAT_RGB888);
        SDL_Rect shown{0, 0, 392, 88};
        SDL_BlitScaled(client, nullptr, surface, &shown);
        SDL_FreeSurface(client);
        SDL_UpdateWindowSurface(window);
    }
    SDL_DestroyWindow(window);
}

// Collects every run, then prints each figure beside its reference.
class TableReporter final : public benchmark::BenchmarkReporter {
  public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // Of repeated runs only their median counts.
            if (run.run_type == Run::RT_Aggregate ? run.aggregate_name != "median"
                                                  : run.repetitions > 1) {
                continue;
            }
            Result& result = results_[run.run_name.function_name];
            result.error = run.error_occurred;
            result.ns = run.GetAdjustedRealTime();
            const auto bytes = run.counters.find("bytes_per_second");
            result.megabytesPerSecond = bytes != run.counters.end() ? bytes->second / 1e6 : 0;
        }
    }
    void Finalize() override {
        if (results_.count("redraw/lcd") != 0) {
            const Result& redraw = results_["redraw/lcd"];
            const Result& rows = results_["redraw/rows"];
            const Result& block = results_["redraw/copy"];
            std::printf(
                "| one LCD redraw (12 cells, window and back buffer) | %.2f us (%.2f x the row "
                "copy, %.2f x the block copy) | the same rows copied plainly: %.2f us; the "
                "same bytes in one block: %.2f us |\n",
                redraw.ns / 1e3, redraw.ns / rows.ns, redraw.ns / block.ns, rows.ns / 1e3,
                block.ns / 1e3);
        }
        if (results_.count("present/frame") != 0 && results_["present/frame"].error) {
            std::printf("| the present of a frame (392 x 88) | no display | |\n");
        } else if (results_.count("present/frame") != 0) {
            std::printf("| the present of a frame (392 x 88) | %.1f us per frame | |\n",
                        results_["present/frame"].ns / 1e3);
        }
        for (const char* kind : {"1-bit", "4-bit", "8-bit", "24-bit", "32-bit", "RLE4", "RLE8"}) {
            const std::string name = kind;
            if (results_.count("bmp/ours/" + name) == 0) {
                continue; // not among the benchmarks asked for
            }
            const Result& ours = results_["bmp/ours/" + name];
            const Result& sdl = results_["bmp/sdl/" + name];
            const Result& sdl32 = results_["bmp/sdl32/" + name];
            std::printf("| BMP %s 640 x 480, our reader | %.0f MB/s | SDL_LoadBMP: %.0f MB/s; "
                        "with SDL's conversion to our 32-bit pixels: %.0f MB/s |\n",
                        kind, ours.megabytesPerSecond, sdl.megabytesPerSecond,
                        sdl32.megabytesPerSecond);
        }
        row("JPEG 640 x 480, our path", "jpeg/ours", "jpeg/bare", "bare libjpeg calls");
        row("GIF 640 x 480, our path", "gif/ours", "gif/bare", "bare giflib calls (DGifSlurp)");
    }

  private:
    struct Result {
        bool error = true;
        double ns = 0;
        double megabytesPerSecond = 0;
    };

    // A decoder beside its reference: the wrapper's overhead is the extra time it takes.
    void row(const char* figure, const char* ours, const char* reference,
             const char* referenceName) {
        if (results_.count(ours) == 0) {
            return; // not among the benchmarks asked for
        }
        const Result& a = results_[ours];
        const Result& b = results_[reference];
        if (a.error || b.error) {
            std::printf("| %s | failed | %s failed |\n", figure, referenceName);
            return;
        }
        std::printf("| %s | %.0f MB/s (%+.0f %% time) | %s: %.0f MB/s |\n", figure,
                    a.megabytesPerSecond, (a.ns / b.ns - 1) * 100, referenceName,
                    b.megabytesPerSecond);
    }

    std::map<std::string, Result> results_;
};

} // namespace

int main(int argc, char** argv) {
    // On a shared, noisy machine: repeated runs, shuffled so that a figure and its reference
    // meet the same moments, and their medians. Flags given on the command line come later and win.
    std::vector<char*> arguments = {argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=5",
                              "--benchmark_enable_random_interleaving=true",
                              "--benchmark_min_time=0.2"};
    for (std::string& flag : defaults) {
        arguments.push_back(flag.data());
    }
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    // As the game's window host has it: the window's own surface, not a texture, on a real
    // display (SDL would otherwise settle for one that shows nothing).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    const bool video = SDL_Init(SDL_INIT_VIDEO) == 0;

    static const std::map<std::string, Bytes> bmps = {
        {"1-bit", uncompressedBmp(1)},   {"4-bit", uncompressedBmp(4)},
        {"8-bit", uncompressedBmp(8)},   {"24-bit", uncompressedBmp(24)},
        {"32-bit", uncompressedBmp(32)}, {"RLE4", rleBmp(kBmpRle4)},
        {"RLE8", rleBmp(kBmpRle8)},
    };
    static const Bytes jpeg = testing_pictures::makeJpeg(kWidth, kHeight, patternPixels());
    static const Bytes gif = gifFile();

    // Real time throughout: the redraw waits for locks, and rates must match the times shown.
    auto add = [](const std::string& name, auto&&... arguments) {
        benchmark::RegisterBenchmark(name.c_str(), arguments...)->UseRealTime();
    };
    add("redraw/lcd", lcdRedraw);
    add("redraw/rows", rowCopy);
    add("redraw/copy", plainCopy);
    add("present/frame", present);
    for (const auto& [kind, file] : bmps) {
        add("bmp/ours/" + kind, oursBmp, file);
        add("bmp/sdl/" + kind, sdlBmp, file, false);
        add("bmp/sdl32/" + kind, sdlBmp, file, true);
    }
    add("jpeg/ours", oursJpeg, jpeg);
    add("jpeg/bare", bareJpeg, jpeg);
    add("gif/ours", oursGif, gif);
    add("gif/bare", bareGif, gif);

    TableReporter table;
    benchmark::RunSpecifiedBenchmarks(&table);
    benchmark::Shutdown();
    if (video) {
        SDL_Quit();
    }
}
