// kestrilon-headless < script
// The whole game, start-up included, in a window kept in memory: a script plays the player's
// part and takes snapshots of what the window shows. For the tests and for looking at the game
// where there is no display.
//
// Script lines, "<ms> <action> [argument]", ms counted from the window's first paint:
//   key <code>       a key-down of that virtual-key code (decimal)
//   syskey <code>    a key the system keeps (held with Alt, or F10)
//   expose           the window is uncovered
//   snapshot <file>  the picture last presented, as a binary PPM
//   report           a line "caption=… client=WxH at=X,Y icon=WxH style=0x…" on stdout
//   close            the close box: "close" on stdout, and the game ends with exit code 0
// Blank lines and text after '#' are ignored.
#include "game/startup.h"
#include "platform/headless_window_host.h"
#include "prompt/prompt_window.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Step {
    long ms = 0;
    std::string action;
    std::string argument;
};

bool readScript(std::istream& in, std::vector<Step>& steps) {
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        std::istringstream words(line);
        Step step;
        if (!(words >> step.ms)) {
            std::fprintf(stderr, "kestrilon-headless: line %d: expected \"<ms> <action>\"\n",
                         number);
            return false;
        }
        if (!(words >> step.action)) {
            std::fprintf(stderr, "kestrilon-headless: line %d: no action\n", number);
            return false;
        }
        words >> step.argument;
        if (step.action == "snapshot") {
            // The game may move to the folder of its pictures; snapshots go where the script says.
            step.argument = std::filesystem::absolute(step.argument).string();
        }
        steps.push_back(step);
    }
    return true;
}

void writePpm(const platform::Bitmap& picture, const std::string& file) {
    FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "kestrilon-headless: cannot write %s\n", file.c_str());
        return;
    }
    std::fprintf(out, "P6\n%d %d\n255\n", picture.width, picture.height);
    for (std::uint32_t rgb : picture.pixels) {
        const unsigned char bytes[] = {static_cast<unsigned char>(rgb >> 16),
                                       static_cast<unsigned char>(rgb >> 8),
                                       static_cast<unsigned char>(rgb)};
        std::fwrite(bytes, 1, sizeof bytes, out);
    }
    std::fclose(out);
}

void play(platform::HeadlessWindowHost& window, const std::vector<Step>& steps) {
    while (promptWindow.ready == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto start = std::chrono::steady_clock::now();
    for (const Step& step : steps) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(step.ms));
        const auto code =
            static_cast<std::uint32_t>(std::strtoul(step.argument.c_str(), nullptr, 10));
        if (step.action == "key") {
            window.pushKey(code);
        } else if (step.action == "syskey") {
            window.pushSystemKey(code);
        } else if (step.action == "expose") {
            window.pushExpose();
        } else if (step.action == "snapshot") {
            writePpm(window.presentedPixels(), step.argument);
        } else if (step.action == "report") {
            const platform::HeadlessView view = window.view();
            std::printf("caption=%s client=%dx%d at=%d,%d icon=%dx%d style=0x%08x\n",
                        view.caption.c_str(), view.clientWidth, view.clientHeight, view.x, view.y,
                        view.iconWidth, view.iconHeight, view.style);
            std::fflush(stdout);
        } else if (step.action == "close") {
            // Said first, so that whoever watches can time the way out.
            std::puts("close");
            std::fflush(stdout);
            window.requestClose();
        } else {
            std::fprintf(stderr, "kestrilon-headless: unknown action \"%s\"\n",
                         step.action.c_str());
        }
    }
}

} // namespace

int main() {
    std::vector<Step> steps;
    if (!readScript(std::cin, steps)) {
        return 2;
    }
    static platform::HeadlessWindowHost window(1024, 768);
    std::thread(play, std::ref(window), std::cref(steps)).detach();
    startGame(window);
}
