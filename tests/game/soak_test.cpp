// A million frames of play with random keys: the game's memory must stay flat.
#include "lcd/lcd_row.h"
#include "prompt/prompt_window.h"
#include "runtime/rt_string.h"
#include "sim_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace {

// Resident memory of this process in kB.
long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

TEST(Soak, AMillionFramesOfRandomKeysKeepStringsAndMemoryFlat) {
    constexpr long kFrames = 1000000;
    std::mt19937 chance(20261207);
    const std::uint8_t keys[] = {13, 0x58, 0x58, 0x5A, 0x5A, 0x45, 16, 0x41, 0x20};
    std::uniform_int_distribution<std::size_t> whichKey(0, sizeof keys - 1);
    std::bernoulli_distribution pressNow(0.3);

    long sleeps = 0;
    std::int32_t fewestStrings = 1 << 30;
    std::int32_t mostStrings = 0;
    long memoryAtTenth = 0;
    sim::SimHooks hooks;
    hooks.onSleep = [&](std::uint64_t) {
        ++sleeps;
        const std::int32_t live = stringCount();
        fewestStrings = std::min(fewestStrings, live);
        mostStrings = std::max(mostStrings, live);
        if (pressNow(chance)) {
            promptWindow.lastKey = keys[whichKey(chance)];
        }
        if (sleeps == kFrames / 10) {
            memoryAtTenth = residentKb();
        }
    };
    // Every frame sleeps once (17 ms); the title's 1 ms polls only add sleeps.
    const sim::SimEnd end = sim::simulate({{0, 13}}, {.seed = 3, .untilMs = kFrames * 17}, hooks);

    const long grownKb = residentKb() - memoryAtTenth;
    std::printf("soak: %ld sleeps, %ld ms of play, live strings %d..%d, memory grew %ld kB\n",
                sleeps, static_cast<long>(end.ms), fewestStrings, mostStrings, grownKb);
    EXPECT_GE(sleeps, kFrames * 9 / 10);
    EXPECT_EQ(fewestStrings, 21) << "the game's own texts, at every sleep";
    EXPECT_EQ(mostStrings, 21);
#ifndef __SANITIZE_ADDRESS__
    // Under the address sanitizer freed blocks wait in its quarantine, so memory grows by design;
    // its leak checker speaks for leaks there.
    EXPECT_LT(grownKb, 1024) << "kB grown over the last nine tenths";
#endif
    EXPECT_GT(end.ms, 0u);
}

} // namespace
