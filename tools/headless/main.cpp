// kestrilon-headless < script
// The whole game, start-up included, in a window kept in memory: a script plays the player's
// part and takes snapshots of what the window shows. For the tests and for looking at the game
// where there is no display.
//
// Script lines, "<ms> <action> [argument]", ms counted from the window's first paint, 0 to
// 86400000 (24 hours):
//   key <code>       a key-down of that virtual-key code (decimal, 1-255)
//   syskey <code>    a key the system keeps (held with Alt, or F10)
//   expose           the window is uncovered
//   snapshot <file>  the picture last presented, as a binary PPM
//   report           a line "caption=… client=WxH at=X,Y icon=WxH style=0x…" on stdout
//   close            the close box: "close" on stdout, and the game ends with exit code 0
// Blank lines and text after '#' are ignored; a line holds at most 1024 bytes. Steps run in the
// order written, each no earlier than its time. The whole script is checked before the game
// starts: a malformed line is named on stderr and the exit code is 2. Nothing after a close
// runs; the end of the script closes the window too (without the "close" line). A script that
// cannot be read is named on stderr with exit code 2; a snapshot or a line on stdout that cannot be
// written ends the game with exit code 1.
#include "app/startup.h"
#include "platform/headless/headless_window_host.h"
#include "platform/player_file.h"
#include "platform/process_exit.h"
#include "platform/process_setup.h"
#include "platform/standard_output.h"
#include "prompt/prompt_window.h"
#include "script_input.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace {

enum class Action { Key, SystemKey, Expose, Snapshot, Report, Close };
enum class Argument { None, Code, File };

struct ActionName {
    std::string_view name;
    Action action;
    Argument argument;
};

constexpr std::array<ActionName, 6> kActions{{
    {"key", Action::Key, Argument::Code},
    {"syskey", Action::SystemKey, Argument::Code},
    {"expose", Action::Expose, Argument::None},
    {"snapshot", Action::Snapshot, Argument::File},
    {"report", Action::Report, Argument::None},
    {"close", Action::Close, Argument::None},
}};

struct Step {
    int line = 0;
    std::uint64_t ms = 0;
    Action action = Action::Close;
    std::uint32_t code = 0;
    std::filesystem::path file;
};

// The words of one line as a step; false with `error` naming what is wrong.
bool parseStep(const std::vector<std::string>& words, Step& step, std::string& error) {
    if (!script::parseWhole(words[0], script::kMaxMs, step.ms)) {
        error = "the time " + script::quoted(words[0]) +
                " is not a whole number of milliseconds (0-86400000, 24 hours)";
        return false;
    }
    if (words.size() < 2) {
        error = "expected \"<ms> <action>\"";
        return false;
    }
    const ActionName* found = nullptr;
    for (const ActionName& candidate : kActions) {
        if (words[1] == candidate.name) {
            found = &candidate;
        }
    }
    if (found == nullptr) {
        error = "unknown action " + script::quoted(words[1]) +
                " (key, syskey, expose, snapshot, report or close)";
        return false;
    }
    step.action = found->action;
    const std::size_t expected = found->argument == Argument::None ? 2 : 3;
    if (words.size() != expected) {
        error =
            std::string(found->name) + (expected == 2 ? " takes nothing after it"
                                        : found->argument == Argument::Code ? " takes a key code"
                                                                            : " takes a file name");
        return false;
    }
    std::uint64_t code = 0;
    if (found->argument == Argument::Code) {
        if (!script::parseWhole(words[2], 255, code) || code == 0) {
            error = "the key code " + script::quoted(words[2]) + " is not a number 1-255";
            return false;
        }
        step.code = static_cast<std::uint32_t>(code);
    }
    if (found->argument == Argument::File) {
        // The game may move to the folder of its pictures; snapshots go where the script says.
        std::error_code failure;
        step.file = std::filesystem::absolute(platform::playerPath(words[2]), failure);
        if (failure) {
            error = "cannot place " + script::quoted(words[2]) + ": " + failure.message();
            return false;
        }
    }
    return true;
}

bool readScript(std::istream& in, std::vector<Step>& steps) {
    script::LineReader lines(in);
    std::vector<std::string> words;
    script::Error error;
    for (;;) {
        switch (lines.next(words, error)) {
        case script::LineReader::Read::End:
            return true;
        case script::LineReader::Read::Failed:
            std::fprintf(stderr, "kestrilon-headless: line %d: %s\n", error.line,
                         error.message.c_str());
            return false;
        case script::LineReader::Read::Words:
            break;
        }
        Step step;
        step.line = lines.lineNumber();
        if (!parseStep(words, step, error.message)) {
            std::fprintf(stderr, "kestrilon-headless: line %d: %s\n", step.line,
                         error.message.c_str());
            return false;
        }
        steps.push_back(std::move(step));
    }
}

bool writePpm(const platform::Bitmap& picture, const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary);
    std::vector<char> bytes;
    bytes.reserve(picture.pixels.size() * 3);
    for (std::uint32_t rgb : picture.pixels) {
        bytes.insert(bytes.end(), {static_cast<char>(rgb >> 16), static_cast<char>(rgb >> 8),
                                   static_cast<char>(rgb)});
    }
    out << "P6\n" << picture.width << ' ' << picture.height << "\n255\n";
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

// A path as the UTF-8 text it was named with.
std::string text(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

// Output nobody receives fails the run at once, as a snapshot that cannot be written does.
void stopUnlessWritten(bool written) {
    if (written && std::fflush(stdout) == 0) {
        return;
    }
    std::fprintf(stderr, "kestrilon-headless: cannot write the output: %s\n", std::strerror(errno));
    platform::exitProcess(1);
}

void play(platform::HeadlessWindowHost& window, const std::vector<Step>& steps) {
    while (promptWindow.ready == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto start = std::chrono::steady_clock::now();
    for (const Step& step : steps) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(step.ms));
        switch (step.action) {
        case Action::Key:
            window.pushKey(step.code);
            break;
        case Action::SystemKey:
            window.pushSystemKey(step.code);
            break;
        case Action::Expose:
            window.pushExpose();
            break;
        case Action::Snapshot:
            if (!writePpm(window.presentedPixels(), step.file)) {
                std::fprintf(stderr, "kestrilon-headless: line %d: cannot write %s: %s\n",
                             step.line, script::quoted(text(step.file)).c_str(),
                             std::strerror(errno));
                platform::exitProcess(1);
            }
            break;
        case Action::Report: {
            const platform::HeadlessView view = window.view();
            stopUnlessWritten(
                std::printf("caption=%s client=%dx%d at=%d,%d icon=%dx%d style=0x%08x\n",
                            view.caption.c_str(), view.clientWidth, view.clientHeight, view.x,
                            view.y, view.iconWidth, view.iconHeight, view.style) >= 0);
            break;
        }
        case Action::Close:
            // Said first, so that whoever watches can time the way out.
            stopUnlessWritten(std::puts("close") >= 0);
            window.requestClose();
            return;
        }
    }
    window.requestClose();
}

} // namespace

int main() {
    platform::prepareProcess();
    // Windows' text mode would end the script at a 0x1A byte, even in a comment.
    platform::useBinaryStandardStreams();
    // Unsynced, std::cin tells a read error from the end of the script.
    std::ios::sync_with_stdio(false);
    std::vector<Step> steps;
    if (!readScript(std::cin, steps)) {
        return 2;
    }
    static platform::HeadlessWindowHost window(1024, 768);
    std::thread(play, std::ref(window), std::cref(steps)).detach();
    startGame(window);
}
