// The whole program, start-up included, on the headless window: scripted keys, the window's
// pixels read back and compared with the glyph pictures at the cells' places.
#include "image/picture_budget.h"
#include "image/picture_file.h"
#include "platform/scratch_dir.h"
#include "support/hostile_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

const std::string kTool = KESTRILON_HEADLESS;
const std::string kPictures = std::string(KESTRILON_BIN_DIR) + "/bmp/";

struct Outcome {
    int exitCode = -1;
    std::string output;
};

// Runs the program from a folder without pictures, so it must find its own. Standard error is
// part of the output.
Outcome runProgram(const ScratchDir& dir, const std::string& script,
                   const std::string& program = kTool, const std::string& redirections = "") {
    const std::string scriptFile = dir.write("script", {script.begin(), script.end()});
    const std::string command = "cd " + dir.path("") + " && timeout 30 " + program + " < " +
                                scriptFile + " 2>&1 " + redirections;
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
        outcome.output += buffer.data();
    }
    const int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

platform::Bitmap readPpm(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int width = 0;
    int height = 0;
    int maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    platform::Bitmap picture(width, height);
    for (std::uint32_t& pixel : picture.pixels) {
        std::array<unsigned char, 3> rgb{};
        in.read(reinterpret_cast<char*>(rgb.data()), 3);
        pixel = (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
    }
    return magic == "P6" && in ? picture : platform::Bitmap{};
}

platform::Bitmap glyph(int code) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.bmp", code);
    PictureFile file;
    if (file.load((kPictures + name).c_str()) != 1) {
        return {};
    }
    return *file.bitmapHandle();
}

// Whether the picture shows `expected` with its top-left corner at (x, y).
bool shows(const platform::Bitmap& screen, const platform::Bitmap& expected, int x, int y) {
    if (expected.empty() || x + expected.width > screen.width ||
        y + expected.height > screen.height) {
        return false;
    }
    for (int row = 0; row < expected.height; ++row) {
        for (int col = 0; col < expected.width; ++col) {
            if (screen.pixel(x + col, y + row) != expected.pixel(col, row)) {
                return false;
            }
        }
    }
    return true;
}

// The cells as text: each cell's code found by comparing it with every glyph picture.
std::string cellsShown(const platform::Bitmap& screen, const std::string& candidates) {
    std::string text;
    for (int cell = 0; cell < 12; ++cell) {
        char found = '?';
        for (char c : candidates) {
            if (shows(screen, glyph(static_cast<unsigned char>(c)), 8 + 32 * cell, 40)) {
                found = c;
                break;
            }
        }
        text += found;
    }
    return text;
}

TEST(WholeProgram, StartsUpShowsTheTitleAndPlaysWithTheKeys) {
    ScratchDir dir;
    // Generous pauses: start-up loads a hundred pictures, slowly under the sanitizers.
    const Outcome outcome = runProgram(dir, "1000 report\n"
                                            "1000 snapshot title.ppm\n"
                                            "1100 key 13\n"
                                            "1400 snapshot play.ppm\n"
                                            "1500 key 88\n"
                                            "1800 snapshot aimed.ppm\n"
                                            "1900 close\n");
    EXPECT_EQ(outcome.exitCode, 0) << "closing the window ends the program with 0";
    EXPECT_EQ(outcome.output,
              "caption=Kestrilon client=392x88 at=0,0 icon=16x16 style=0x00c80000\nclose\n")
        << "titled, placed at the corner, sized, not resizable, no minimise or maximise box";

    const platform::Bitmap title = readPpm(dir.path("title.ppm"));
    ASSERT_EQ(title.width, 392);
    ASSERT_EQ(title.height, 88);
    EXPECT_EQ(cellsShown(title, "PUSHENTR "), "PUSH ENTER  ");

    // Everything outside the cells is the backdrop picture.
    const platform::Bitmap backdrop = glyph(0);
    ASSERT_EQ(backdrop.width, 392);
    platform::Bitmap outside = title;
    for (int cell = 0; cell < 12; ++cell) {
        platform::copyRect(outside, 8 + 32 * cell, 40, 24, 40, backdrop, 8 + 32 * cell, 40,
                           platform::kSrcCopy);
    }
    EXPECT_TRUE(shows(outside, backdrop, 0, 0));

    const std::string digitsAndMarks = "0123456789*=- ";
    EXPECT_EQ(cellsShown(readPpm(dir.path("play.ppm")), digitsAndMarks).substr(0, 2), "0*");
    EXPECT_EQ(cellsShown(readPpm(dir.path("aimed.ppm")), digitsAndMarks).substr(0, 2), "1*");
}

TEST(WholeProgram, KeysTheSystemKeepsDoNotReachTheGame) {
    ScratchDir dir;
    const Outcome outcome = runProgram(dir, "1000 syskey 13\n"
                                            "1300 snapshot still.ppm\n"
                                            "1400 close\n");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(cellsShown(readPpm(dir.path("still.ppm")), "PUSHENTR "), "PUSH ENTER  ")
        << "Alt+Enter does not start a game";
}

TEST(WholeProgram, TheScriptIsCheckedWholeFirstAndItsEndEndsTheRun) {
    const struct {
        std::string script;
        int exitCode;
        std::string said;
        bool snapshotTaken;
        std::string redirections = "";
    } cases[] = {
        {"", 0, "", false},
        {"100 key 13\n300 snapshot shot.ppm\n", 0, "", true}, // no close
        {"100 snapshot shot.ppm\n200 clsoe\n", 2, "line 2: unknown action \"clsoe\"", false},
        {"9223372036854775807 close\n", 2, "line 1: the time", false},
        {"100 key 256\n", 2, "line 1: the key code", false},
        {"100 snapshot /dev/full\n5000 close\n", 1, "line 1: cannot write \"/dev/full\"", false},
        {"100 snapshot shot.ppm\n", 2, "line 1: cannot read the script", false, "< /"},
        {"100 report\n5000 snapshot shot.ppm\n", 1, "cannot write the output", false, ">/dev/full"},
        {"100 close\n", 1, "cannot write the output", false, ">/dev/full"},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const Outcome outcome = runProgram(dir, c.script, kTool, c.redirections);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.script << outcome.output;
        EXPECT_NE(outcome.output.find(c.said), std::string::npos) << c.script << outcome.output;
        EXPECT_EQ(std::filesystem::exists(dir.path("shot.ppm")), c.snapshotTaken) << c.script;
    }
}

TEST(WholeProgram, WithoutPicturesItSaysWhereItLookedAndPlaysOn) {
    ScratchDir dir;
    const std::string lonely = dir.path("kestrilon-headless");
    std::filesystem::copy_file(kTool, lonely);
    std::filesystem::permissions(lonely, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    const Outcome outcome = runProgram(dir, "300 key 13\n600 close\n", lonely);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_NE(outcome.output.find("kestrilon: no pictures found (looked in " + dir.path("bmp")),
              std::string::npos)
        << outcome.output;
    EXPECT_EQ(outcome.output.find("kestrilon:"), outcome.output.rfind("kestrilon:")) << "one line";
    EXPECT_EQ(outcome.output.find(dir.path("bmp")), outcome.output.rfind(dir.path("bmp")))
        << "the current folder is the program's: named once";
}

// Every code the glyphs leave free holds a tiny file declaring a picture at the pixel cap.
TEST(WholeProgram, AHostileFolderTakesNoMoreMemoryThanThePictureBudget) {
#ifdef __SANITIZE_THREAD__
    GTEST_SKIP() << "the thread sanitizer's shadow memory is several times the program's own, and "
                    "reading a picture at the cap under it takes many seconds";
#endif
    ScratchDir dir;
    const int hostile = writeHostileFolder(kPictures, dir.path(""));
    const Outcome outcome = runProgram(dir, "4000 snapshot title.ppm\n4100 close\n");
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(cellsShown(readPpm(dir.path("title.ppm")), "PUSHENTR "), "PUSH ENTER  ");
    // The largest child this process has waited for: the game, or something smaller.
    EXPECT_LT(children.ru_maxrss * 1024, kPictureBudgetBytes + (std::int64_t{64} << 20));
    std::size_t refused = 0;
    for (std::size_t at = 0; (at = outcome.output.find(" not loaded: ", at)) != std::string::npos;
         ++at) {
        ++refused;
    }
    EXPECT_EQ(refused, static_cast<std::size_t>(hostile - 1))
        << "one picture at the cap fits the budget; every other one is named once\n"
        << outcome.output.substr(0, 400);
}

} // namespace
