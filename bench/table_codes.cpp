// kestrilon-bench-codes COUNT [FIRST_SEED | YYYY-MM-DD]: prints COUNT replay codes of distinct
// games, one a line, for loading the table and testing it. Game n is played from seed
// FIRST_SEED + n, the first seed a day's when a date is given (a game of that day's board): the aim
// stepped a seed-dependent number of times before each shot, a key every few reads, until the
// 30th shot ends it; the table's simulator plays each to its own score.
#include "game/daily_game.h"
#include "game/replay_code.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace {

bool whole(std::string_view text, std::uint32_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool seedOf(std::string_view text, std::uint32_t& seed) {
    if (const auto day = parseCalendarDate(text)) {
        seed = dailySeed(*day);
        return true;
    }
    return whole(text, seed);
}

Replay thirtyShots(std::uint32_t seed) {
    Replay replay{seed, {}};
    std::uint32_t read = 3;
    for (std::uint32_t shot = 0; shot < 30; ++shot) {
        const std::uint32_t steps = (seed / (shot + 1) + shot) % 4;
        for (std::uint32_t step = 0; step < steps; ++step) {
            replay.keys.push_back({read, 'X'});
            read += 2;
        }
        replay.keys.push_back({read, 'Z'});
        read += 3 + (seed + shot) % 5;
    }
    return replay;
}

} // namespace

int main(int argc, char** argv) {
    std::uint32_t count = 0;
    std::uint32_t first = 1;
    if (argc < 2 || argc > 3 || !whole(argv[1], count) || (argc == 3 && !seedOf(argv[2], first))) {
        std::fputs("usage: kestrilon-bench-codes COUNT [FIRST_SEED | YYYY-MM-DD]\n", stderr);
        return 2;
    }
    for (std::uint32_t n = 0; n < count; ++n) {
        if (std::printf("%s\n", encodeReplay(thirtyShots(first + n)).c_str()) < 0) {
            return 1;
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
