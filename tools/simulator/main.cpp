// kestrilon-sim [--seed N | --daily YYYY-MM-DD] [--until MS] [--start-tick N] [--sounds] < script
// kestrilon-sim [--until MS] [--start-tick N] [--sounds] --replay CODE|FILE
// kestrilon-sim --serve
// Replays a game from a key script or a replay code on a virtual clock and prints every redraw of
// the LCD row, and with --sounds every sound the game plays, as "<ms> sound <name>[ <slot>]".
// --daily D plays the day's game: it is --seed with the day's seed (game/daily_game.h).
// With --serve, plays one code a line and answers each with its end line.
#include "key_script.h"
#include "serve_mode.h"
#include "sim_engine.h"

#include "game/daily_game.h"
#include "game/replay_source.h"
#include "lcd/lcd_row.h"
#include "platform/clock.h"
#include "platform/process_exit.h"
#include "platform/process_setup.h"
#include "platform/program_arguments.h"
#include "platform/sound_output.h"
#include "platform/standard_output.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

int usage(const std::string& message) {
    std::fprintf(
        stderr,
        "kestrilon-sim: %s\n"
        "usage: kestrilon-sim [--seed N | --daily YYYY-MM-DD] [--until MS] [--start-tick N]\n"
        "                     [--sounds] < keys\n"
        "       kestrilon-sim [--until MS] [--start-tick N] [--sounds] --replay "
        "CODE|FILE\n"
        "       kestrilon-sim --serve < codes\n",
        message.c_str());
    return 2;
}

// Output that did not arrive is a failed run, whatever was simulated: the run stops at the first
// write that fails rather than simulate on for nobody.
void stopUnlessWritten(bool written) {
    const bool flushed = written && std::fflush(stdout) == 0;
    if (flushed && std::ferror(stdout) == 0) {
        return;
    }
    std::fprintf(stderr, "kestrilon-sim: cannot write the output%s%s\n", flushed ? "" : ": ",
                 flushed ? "" : std::strerror(errno));
    platform::exitProcess(1);
}

void printRow(std::uint64_t ms) {
    char hex[2 * LcdRow::kCells + 1];
    for (int i = 0; i < LcdRow::kCells; ++i) {
        std::snprintf(hex + 2 * i, 3, "%02x", static_cast<unsigned>(LcdRow::cells[i]) & 0xFFu);
    }
    if (std::printf("%llu %s\n", static_cast<unsigned long long>(ms), hex) < 0) {
        stopUnlessWritten(false);
    }
}

// Printed between the redraws, at the virtual time the game played them.
class PrintedSounds final : public platform::SoundOutput {
  public:
    explicit PrintedSounds(std::uint32_t startTick) : startTick_(startTick) {}
    void play(platform::SoundCue cue) override {
        const std::uint32_t ms = platform::tickCount() - startTick_;
        const char* name = platform::tonesOf(cue.event).name;
        const int written = cue.slot != 0 ? std::printf("%u sound %s %u\n", ms, name, cue.slot)
                                          : std::printf("%u sound %s\n", ms, name);
        if (written < 0) {
            stopUnlessWritten(false);
        }
    }

  private:
    std::uint32_t startTick_;
};

} // namespace

int main(int argc, char** argv) {
    if (platform::prepareProcess().output) {
        std::fputs("kestrilon-sim: standard output is closed\n", stderr);
        return 1;
    }
    // The same script is read, and the same game printed, byte for byte on every system.
    platform::useBinaryStandardStreams();
    // Unsynced, std::cin tells a read error from the end of the script.
    std::ios::sync_with_stdio(false);
    constexpr std::uint64_t kMaxWord = std::numeric_limits<std::uint32_t>::max();
    sim::SimOptions options;
    std::optional<Replay> replay;
    bool seedGiven = false;
    bool dailyGiven = false;
    bool sounds = false;
    platform::ProgramArguments arguments(argc, argv);
    char** const words = arguments.values();
    if (arguments.count() == 2 && std::string_view(words[1]) == "--serve") {
        return sim::serveReplayCodes(stdin, stdout);
    }
    for (int i = 1; i < arguments.count(); ++i) {
        const std::string_view flag = words[i];
        if (flag == "--sounds") {
            sounds = true;
            continue;
        }
        if (i + 1 >= arguments.count()) {
            return usage("missing value after " + script::quoted(flag));
        }
        const std::string_view value = words[++i];
        std::uint64_t number = 0;
        if (flag == "--seed") {
            if (!script::parseWhole(value, kMaxWord, number)) {
                return usage("--seed takes a whole number 0-4294967295");
            }
            options.seed = static_cast<std::uint32_t>(number);
            seedGiven = true;
        } else if (flag == "--daily") {
            const std::optional<std::chrono::year_month_day> day = parseCalendarDate(value);
            if (!day) {
                return usage("--daily takes a day that exists, as YYYY-MM-DD");
            }
            options.seed = dailySeed(*day);
            dailyGiven = true;
        } else if (flag == "--until") {
            if (!script::parseWhole(value, sim::kMaxScriptMs, number)) {
                return usage("--until takes a whole number of milliseconds 0-" +
                             std::to_string(sim::kMaxScriptMs) + " (24 hours)");
            }
            options.untilMs = number;
        } else if (flag == "--start-tick") {
            if (!script::parseWhole(value, kMaxWord, number)) {
                return usage("--start-tick takes a whole number 0-4294967295");
            }
            options.startTick = static_cast<std::uint32_t>(number);
        } else if (flag == "--replay") {
            std::string problem;
            replay = replayFromArgument(value, problem);
            if (!replay) {
                std::fprintf(stderr, "kestrilon-sim: %s\n", problem.c_str());
                return 2;
            }
        } else {
            return usage("unknown option " + script::quoted(flag));
        }
    }
    if ((seedGiven || dailyGiven) && replay) {
        return usage(std::string("--replay plays its game from its own seed: leave out ") +
                     (seedGiven ? "--seed" : "--daily"));
    }
    if (seedGiven && dailyGiven) {
        return usage("--daily gives the day's seed: leave out --seed");
    }

    std::vector<sim::ScriptedKey> keys;
    sim::ScriptError error;
    if (!replay && !sim::parseKeyScript(std::cin, keys, error)) {
        std::fprintf(stderr, "kestrilon-sim: line %d: %s\n", error.line, error.message.c_str());
        return 2;
    }
    PrintedSounds printedSounds(options.startTick);
    if (sounds) {
        platform::useSoundOutput(&printedSounds);
    }
    const sim::SimHooks hooks = {.onRedraw = printRow, .onSleep = {}};
    const sim::SimEnd end =
        replay ? sim::simulateReplay(*replay, options, hooks) : sim::simulate(keys, options, hooks);
    stopUnlessWritten(std::printf("end %llu %.0f %.0f %.0f\n",
                                  static_cast<unsigned long long>(end.ms), end.score, end.stage,
                                  end.lives) >= 0);
    return 0;
}
