// Where the game's start-up time goes: the steps of startGame in its order, on the real window
// (SDL2 on $DISPLAY) and the real pictures, each timed. The window thread opens the display and
// makes the window while the game thread reads the pictures; the game thread then waits for the
// first paint. The program starts itself again so that the dynamic loading before main is timed
// too.
//
// usage: kestrilon-bench-startup [runs]   (default 5; prints the median of each step)
#include "app/icon_resources.h"
#include "app/picture_folder.h"
#include "game/game_state.h"
#include "image/image_slot.h"
#include "lcd/glyph_set.h"
#include "lcd/lcd_row.h"
#include "lcd/slot_display.h"
#include "platform/clock.h"
#include "platform/sdl/sdl_window_host.h"
#include "prompt/prompt_window.h"
#include "prompt/prompt_window_proc.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kSteps[] = {
    "exec to main (dynamic loading)",
    "video start (open the display)",
    "window created, shown, first paint",
    "picture probes that find no file (meanwhile, game thread)",
    "picture decodes and their pixel readers (meanwhile)",
    "game thread's wait for the first paint after the pictures",
    "fixing the window (caption, icon, style, size)",
    "binding the pictures, the backdrop",
    "the title row",
    "exec to the title row drawn, all together",
};
constexpr int kStepCount = std::size(kSteps);

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::array<double, kStepCount> measured{};
bool painted = false;

// What promptThreadMain does, with the display's opening timed apart from the window's making.
void windowThread(platform::WindowHost& window) {
    double start = nowMs();
    if (!window.open("PROMPT")) {
        std::_Exit(1);
    }
    measured[1] = nowMs() - start;
    start = nowMs();
    promptWindow.backBufferWidth = window.screenWidth();
    promptWindow.backBufferHeight = window.screenHeight();
    if (!window.create({"QUILL PROMPT", platform::WS_OVERLAPPEDWINDOW}, promptWindowProc)) {
        std::_Exit(1);
    }
    promptWindow.handle.store(&window);
    window.show();
    platform::WindowMessage message;
    while (window.getMessage(message)) {
        // Timed before the paint raises the ready flag that the game thread waits for.
        if (message.message == platform::WM_PAINT && !painted) {
            painted = true;
            measured[2] = nowMs() - start;
        }
        window.dispatch(message);
    }
}

void fixWindow(platform::WindowHost& window) {
    window.setCaption("Kestrilon");
    window.setSmallIcon(iconResource(102));
    std::uint32_t style = window.style();
    style &= ~(platform::WS_THICKFRAME | platform::WS_MINIMIZEBOX | platform::WS_MAXIMIZEBOX);
    window.setStyle(style);
    window.setPosition(0, 0, 402, 117, platform::SWP_FRAMECHANGED);
    window.setPosition(0, 0, 0, 0,
                       platform::SWP_NOSIZE | platform::SWP_NOMOVE | platform::SWP_FRAMECHANGED);
}

[[noreturn]] void startOnce(double execAt) {
    measured[0] = nowMs() - execAt;
    runtimeInit();
    static platform::SdlWindowHost window;
    std::thread(windowThread, std::ref(window)).detach();

    windowSurface.construct();
    for (ImageSlot& slot : imageSlots) {
        slot.construct();
    }
    createGameTexts();
    moveToPictureFolder();
    char name[] = "bmp\\000.bmp";
    for (int code = 0; code <= 255; ++code) {
        std::snprintf(name, sizeof name, "bmp\\%03d.bmp", code);
        const double start = nowMs();
        ImageSlot& slot = imageSlots[static_cast<std::size_t>(code)];
        const bool loaded = slot.load(name) == 1;
        if (loaded) {
            slot.setRowPause(-1);
            GlyphSet::glyphLoaded[static_cast<std::size_t>(code)] = 1;
        }
        measured[loaded ? 4 : 3] += nowMs() - start;
    }

    double start = nowMs();
    while (promptWindow.ready == 0) {
        platform::sleepUntilChanged(promptWindow.ready, 0, 20);
    }
    measured[5] = nowMs() - start;

    start = nowMs();
    fixWindow(*promptWindow.handle.load());
    measured[6] = nowMs() - start;

    start = nowMs();
    windowSurface.bind();
    GlyphSet::bindGlyphs();
    imageSlots[GlyphSet::kBackdrop].drawAt(0, 0, 0);
    measured[7] = nowMs() - start;

    static SlotDisplay display;
    fillGameTables();
    useLcdDisplay(&display);
    start = nowMs();
    LcdRow::printAt(0, stringFromText("PUSH ENTER"));
    measured[8] = nowMs() - start;
    measured[9] = nowMs() - execAt;

    for (double ms : measured) {
        std::printf("%.3f\n", ms);
    }
    std::fflush(stdout);
    std::_Exit(0);
}

// One start in a fresh process; its steps in milliseconds.
std::vector<double> runChild(const char* self) {
    std::vector<double> steps;
    const std::string command =
        std::string(self) + " --exec-at " + std::to_string(nowMs()) + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    double ms = 0;
    while (pipe != nullptr && std::fscanf(pipe, "%lf", &ms) == 1) {
        steps.push_back(ms);
    }
    if (pipe != nullptr) {
        pclose(pipe);
    }
    return steps;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--exec-at") {
        startOnce(std::atof(argv[2]));
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::array<std::vector<double>, kStepCount> samples;
    for (int run = 0; run < runs; ++run) {
        const std::vector<double> steps = runChild(argv[0]);
        if (steps.size() != kStepCount) {
            std::fprintf(stderr, "kestrilon-bench-startup: a start failed (no display?)\n");
            return 1;
        }
        for (int i = 0; i < kStepCount; ++i) {
            samples[static_cast<std::size_t>(i)].push_back(steps[static_cast<std::size_t>(i)]);
        }
    }
    for (int i = 0; i < kStepCount; ++i) {
        auto& values = samples[static_cast<std::size_t>(i)];
        std::sort(values.begin(), values.end());
        const double median = values[values.size() / 2];
        std::printf("| start-up step: %s, median of %d | %.1f ms | |\n", kSteps[i], runs, median);
    }
}
