// kestrilon-sim [--seed N] [--until MS] < script
// Replays a game from a key script on a virtual clock and prints every redraw of the LCD row.
#include "key_script.h"
#include "sim_engine.h"

#include "lcd/lcd_row.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <string_view>

namespace {

int usage(const char* message) {
    std::fprintf(stderr, "kestrilon-sim: %s\nusage: kestrilon-sim [--seed N] [--until MS] < keys\n",
                 message);
    return 2;
}

template <typename Number>
bool parseWhole(std::string_view text, Number& value) {
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && status == std::errc() && end == text.data() + text.size();
}

void printRow(std::uint64_t ms) {
    char hex[2 * LcdRow::kCells + 1];
    for (int i = 0; i < LcdRow::kCells; ++i) {
        std::snprintf(hex + 2 * i, 3, "%02x", static_cast<unsigned>(LcdRow::cells[i]) & 0xFFu);
    }
    std::printf("%llu %s\n", static_cast<unsigned long long>(ms), hex);
}

} // namespace

int main(int argc, char** argv) {
    sim::SimOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view flag = argv[i];
        if (i + 1 >= argc) {
            return usage("missing value after an option");
        }
        const std::string_view value = argv[++i];
        std::uint64_t until = 0;
        if (flag == "--seed") {
            if (!parseWhole(value, options.seed)) {
                return usage("--seed takes a whole number 0-4294967295");
            }
        } else if (flag == "--until") {
            if (!parseWhole(value, until)) {
                return usage("--until takes a whole number of milliseconds");
            }
            options.untilMs = until;
        } else {
            return usage("unknown option");
        }
    }

    std::vector<sim::ScriptedKey> keys;
    sim::ScriptError error;
    if (!sim::parseKeyScript(std::cin, keys, error)) {
        std::fprintf(stderr, "kestrilon-sim: line %d: %s\n", error.line, error.message.c_str());
        return 2;
    }
    const sim::SimEnd end = sim::simulate(keys, options, {.onRedraw = printRow, .onSleep = {}});
    std::printf("end %llu %.0f %.0f %.0f\n", static_cast<unsigned long long>(end.ms), end.score,
                end.stage, end.lives);
    return 0;
}
