// Replay codes: what is written reads back the same, and every damaged form is refused with why.
#include "game/replay_code.h"

#include <gtest/gtest.h>

namespace {

// A hand-played game of 30 shots: four aim steps between shots, each a few frames apart.
Replay thirtyShots() {
    Replay replay{4000000000u, {}};
    std::uint32_t read = 40;
    for (int shot = 0; shot < 30; ++shot) {
        for (int step = 0; step < 4; ++step) {
            replay.keys.push_back({read += 7, 'X'});
        }
        replay.keys.push_back({read += 30, shot % 5 == 0 ? std::uint8_t{'E'} : std::uint8_t{'Z'}});
    }
    return replay;
}

TEST(ReplayCode, WhatIsWrittenReadsBackTheSame) {
    const Replay rows[] = {
        {0, {}},
        {1, {{0, 13}}},
        {UINT32_MAX, {{0, 'X'}, {1, 'Z'}, {2, 16}, {3, 255}, {200, 1}, {UINT32_MAX, 'E'}}},
        thirtyShots(),
    };
    for (const Replay& replay : rows) {
        const std::string code = encodeReplay(replay);
        EXPECT_TRUE(code.starts_with("K1.")) << code;
        EXPECT_EQ(code.find_first_not_of("K1.ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                         "0123456789-_"),
                  std::string::npos)
            << code;
        const DecodedReplay decoded = decodeReplay(code);
        EXPECT_EQ(decoded.fault, ReplayFault::none) << code;
        EXPECT_EQ(decoded.replay, replay) << code;
    }
    EXPECT_LT(encodeReplay(thirtyShots()).size(), 300u);
}

TEST(ReplayCode, RefusesEveryDamagedFormSayingWhich) {
    const std::string good = encodeReplay(thirtyShots());
    std::string flipped = good;
    flipped[good.size() / 2] = flipped[good.size() / 2] == 'A' ? 'B' : 'A';
    // Six characters hold four bytes and four bits that must be 0.
    std::string strayBits = encodeReplay({7, {}});
    strayBits.back() = 'B';
    struct Row {
        const char* what;
        std::string code;
        ReplayFault fault;
    };
    const Row rows[] = {
        {"empty", "", ReplayFault::damaged},
        {"not a code", "hello", ReplayFault::damaged},
        {"a character outside base64url", good.substr(0, 10) + "+" + good.substr(11),
         ReplayFault::damaged},
        {"a character changed", flipped, ReplayFault::damaged},
        {"bytes too many", good + "AAAA", ReplayFault::damaged},
        {"stray bits in the last character", strayBits, ReplayFault::damaged},
        {"the last character cut", good.substr(0, good.size() - 1), ReplayFault::truncated},
        {"half cut", good.substr(0, good.size() / 2), ReplayFault::truncated},
        {"only the prefix", "K1.", ReplayFault::truncated},
        {"version 2", "K2." + good.substr(3), ReplayFault::foreignVersion},
        {"version 10", "K10.AAAA", ReplayFault::foreignVersion},
        {"over 64 KiB", "K1." + std::string(kMaxReplayCode, 'A'), ReplayFault::oversized},
    };
    for (const Row& row : rows) {
        const DecodedReplay decoded = decodeReplay(row.code);
        EXPECT_EQ(decoded.fault, row.fault) << row.what << ": " << faultText(decoded.fault);
        EXPECT_EQ(decoded.replay, Replay{}) << row.what;
    }
}

} // namespace
