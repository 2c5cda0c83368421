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
        {2, {{0, 'X'}, {1, 'X'}}},
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

    // The bytes every build writes: the check's polynomial, the key kinds' order, a varint of 128
    // (a gap of 25 and Enter) and a gap of 128.
    EXPECT_EQ(encodeReplay({300, {{25, 13}, {154, 'E'}, {355, 200}, {356, 'X'}, {358, 'Z'}}}),
              "K1.DqwCBYABggXsB8gABmJj");

    // The longest code: an X at every read, (kMaxReplayCode - 3) / 4 * 3 bytes of which 11 are the
    // length, the seed, the count and the check. One key more has no code.
    Replay longest{0, std::vector<ReplayKey>((kMaxReplayCode - 3) / 4 * 3 - 11)};
    for (std::uint32_t read = 0; read < longest.keys.size(); ++read) {
        longest.keys[read] = {read, 'X'};
    }
    EXPECT_EQ(decodeReplay(encodeReplay(longest)).replay, longest);
    longest.keys.push_back({static_cast<std::uint32_t>(longest.keys.size()), 'X'});
    EXPECT_EQ(encodeReplay(longest), "");
}

TEST(ReplayCode, RefusesEveryDamagedFormSayingWhich) {
    const std::string good = encodeReplay(thirtyShots());
    std::string flipped = good;
    flipped[good.size() / 2] = flipped[good.size() / 2] == 'A' ? 'B' : 'A';
    // Seven characters hold five bytes and two bits that must be 0; the check covers the bytes.
    std::string strayBits = encodeReplay({7, {}});
    strayBits.back() = static_cast<char>(strayBits.back() + 1);
    struct Row {
        const char* what;
        std::string code;
        ReplayFault fault;
    };
    const Row rows[] = {
        {"empty", "", ReplayFault::empty},
        {"UTF-16",
         std::string("K\0"
                     "1\0",
                     4),
         ReplayFault::utf16},
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
        // With a good check, for what the decoder checks past it.
        {"a one-byte body", frameReplayBody({0}), ReplayFault::damaged},
        {"a length of 0", "K1.AA", ReplayFault::damaged},
        {"a count no data holds", frameReplayBody({0, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
         ReplayFault::damaged},
        {"a byte after the keys", frameReplayBody({0, 2, 0, 0, 0}), ReplayFault::damaged},
        {"at the cap", "K1." + std::string(kMaxReplayCode - 3, 'A'), ReplayFault::truncated},
        {"over the cap", "K1." + std::string(kMaxReplayCode - 2, 'A'), ReplayFault::oversized},
    };
    for (const Row& row : rows) {
        const DecodedReplay decoded = decodeReplay(row.code);
        EXPECT_EQ(decoded.fault, row.fault) << row.what << ": " << faultText(decoded.fault);
        EXPECT_EQ(decoded.replay, Replay{}) << row.what;
    }
}

} // namespace
