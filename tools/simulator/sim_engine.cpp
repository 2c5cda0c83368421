#include "sim_engine.h"

#include "game/game_state.h"
#include "game/play.h"
#include "lcd/glyph_set.h"
#include "lcd/lcd_row.h"
#include "platform/virtual_clock.h"
#include "prompt/prompt_window.h"
#include "runtime/frame_pacer.h"
#include "runtime/random_source.h"

namespace sim {
namespace {

// Thrown from the clock to unwind the game, which otherwise never returns.
struct StopSimulation {};

class RecordingDisplay final : public LcdDisplay {
  public:
    RecordingDisplay(const SimHooks& hooks, const std::uint64_t& elapsed)
        : hooks_(hooks), elapsed_(elapsed) {}
    void drawCell(int, int, int) override {}
    void rowDrawn() override {
        if (hooks_.onRedraw) {
            hooks_.onRedraw(elapsed_);
        }
    }

  private:
    const SimHooks& hooks_;
    const std::uint64_t& elapsed_;
};

// The clock and the display the game sees while a simulation runs, and not a moment longer.
struct InstalledSeams {
    InstalledSeams(platform::VirtualClock& clock, LcdDisplay& display) {
        platform::useClock(&clock);
        useLcdDisplay(&display);
    }
    ~InstalledSeams() {
        useLcdDisplay(nullptr);
        platform::useClock(nullptr);
    }
    InstalledSeams(const InstalledSeams&) = delete;
    InstalledSeams& operator=(const InstalledSeams&) = delete;
};

// Puts the game's globals back to how a fresh process has them.
void resetGame(std::uint32_t seed) {
    runtimeInit();
    gameState = GameState{};
    LcdRow::cells.fill(0);
    GlyphSet::glyphLoaded.fill(0);
    FramePacer::deadline = 0;
    promptWindow.lastKey = 0;
    createGameTexts();
    fillGameTables();
    RandomSource::setSeed(static_cast<std::int32_t>(seed));
}

} // namespace

SimEnd simulate(const std::vector<ScriptedKey>& keys, const SimOptions& options,
                const SimHooks& hooks) {
    const std::uint64_t until =
        options.untilMs.value_or((keys.empty() ? 0 : keys.back().ms) + 60000);
    std::uint64_t elapsed = 0;
    std::size_t nextKey = 0;
    auto deliverKeysDue = [&] {
        for (; nextKey < keys.size() && keys[nextKey].ms <= elapsed; ++nextKey) {
            promptWindow.lastKey = keys[nextKey].code;
        }
    };

    resetGame(options.seed);
    deliverKeysDue();

    platform::VirtualClock clock(kStartTick);
    clock.onBeforeSleep([&](std::uint32_t ms) {
        if (elapsed + ms > until) {
            throw StopSimulation{};
        }
    });
    clock.onAfterSleep([&](std::uint32_t ms) {
        // Counted apart from the tick count, which wraps in a long enough run.
        elapsed += ms;
        deliverKeysDue();
        if (hooks.onSleep) {
            hooks.onSleep(elapsed);
        }
    });
    RecordingDisplay display(hooks, elapsed);

    const InstalledSeams seams(clock, display);
    try {
        runGame();
    } catch (const StopSimulation&) {
    }
    return {elapsed, gameState.score, gameState.stage, gameState.lives};
}

} // namespace sim
