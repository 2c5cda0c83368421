// Closing the window at any moment ends the program at once with exit code 0: during start-up,
// on the title, in play, during an advance, in a banner. Many closes at random moments, each a
// whole program on the headless window.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Close {
    int exitCode = -1;
    bool saidClose = false;
    double secondsToExit = 0; // from the close request to the end of the process
};

Close closeOnce(const std::string& script, int run) {
    const std::string scriptFile =
        ::testing::TempDir() + "shutdown_" + std::to_string(getpid()) + "_" + std::to_string(run);
    std::ofstream(scriptFile) << script;
    const std::string command =
        "timeout 30 " + std::string(KESTRILON_HEADLESS) + " < " + scriptFile;
    Close result;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 256> line{};
    std::chrono::steady_clock::time_point closedAt;
    while (std::fgets(line.data(), line.size(), pipe) != nullptr) {
        if (std::string(line.data()) == "close\n") {
            result.saidClose = true;
            closedAt = std::chrono::steady_clock::now();
        }
    }
    const int status = pclose(pipe);
    result.secondsToExit =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - closedAt).count();
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::remove(scriptFile.c_str());
    return result;
}

// A script that brings the game to one of its moments and closes the window there.
std::string scriptFor(int moment, std::mt19937& chance) {
    auto between = [&](int low, int high) {
        return std::uniform_int_distribution(low, high)(chance);
    };
    std::string script;
    switch (moment) {
    case 0: // start-up: the glyphs are loading right after the first paint
        return std::to_string(between(0, 40)) + " close\n";
    case 1: // the title
        return std::to_string(between(40, 700)) + " close\n";
    case 2: // play, keys flying
        script = "100 key 13\n";
        for (int t = 150; t < 900; t += 50) {
            script += std::to_string(t) + (t % 100 == 0 ? " key 88\n" : " key 69\n");
        }
        return script + std::to_string(between(150, 900)) + " close\n";
    case 3: // around the first advance, 100 frames after Enter
        return "100 key 13\n" + std::to_string(100 + 1700 + between(-20, 20)) + " close\n";
    default: // the GAME OVER banner after the 30th press of Z
        script = "100 key 13\n";
        for (int press = 0; press < 30; ++press) {
            script += std::to_string(200 + 40 * press) + " key 90\n";
        }
        return script + std::to_string(between(1450, 2500)) + " close\n";
    }
}

TEST(Shutdown, ClosingAtRandomMomentsEndsTheProgramWithZeroPromptly) {
    constexpr int kCloses = 100;
    std::mt19937 chance(static_cast<unsigned>(std::random_device{}()));
    std::vector<std::string> scripts;
    for (int run = 0; run < kCloses; ++run) {
        scripts.push_back(scriptFor(run % 5, chance));
    }
    // Eight programs at a time: each mostly waits for its moment.
    constexpr int kTogether = 8;
    std::vector<Close> closes(kCloses);
    for (int first = 0; first < kCloses; first += kTogether) {
        std::vector<std::future<Close>> running;
        for (int run = first; run < std::min(first + kTogether, kCloses); ++run) {
            running.push_back(std::async(std::launch::async, closeOnce, scripts[run], run));
        }
        for (int i = 0; i < static_cast<int>(running.size()); ++i) {
            closes[first + i] = running[i].get();
        }
    }
    double slowest = 0;
    for (int run = 0; run < kCloses; ++run) {
        const Close& close = closes[run];
        EXPECT_TRUE(close.saidClose) << "run " << run << ":\n" << scripts[run];
        EXPECT_EQ(close.exitCode, 0) << "run " << run << ":\n" << scripts[run];
        // A hang, not a speed: eight sanitized programs at once on a busy machine take over a
        // second now and then; the slowest is printed below for whoever watches the figure.
        EXPECT_LT(close.secondsToExit, 5.0) << "run " << run << ":\n" << scripts[run];
        slowest = std::max(slowest, close.secondsToExit);
    }
    std::printf("shutdown: %d closes, slowest exit %.3f s after the close request\n", kCloses,
                slowest);
}

} // namespace
