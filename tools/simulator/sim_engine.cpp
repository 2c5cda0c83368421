#include "sim_engine.h"

#include "game/game_keys.h"
#include "game/game_state.h"
#include "game/play.h"
#include "lcd/glyph_set.h"
#include "lcd/lcd_row.h"
#include "platform/clock.h"
#include "prompt/prompt_window.h"
#include "runtime/frame_pacer.h"
#include "runtime/random_source.h"

#include <algorithm>
#include <string_view>

namespace sim {
namespace {

// Thrown from the clock to unwind the game, which otherwise never returns.
struct StopSimulation {};

// The title is the one screen that waits for a key with nothing moving meanwhile.
bool titleShown() {
    constexpr std::string_view kTitle = "PUSH ENTER";
    return std::equal(kTitle.begin(), kTitle.end(), LcdRow::cells.begin(),
                      [](char c, std::int16_t cell) { return cell == c; });
}

class SimClock final : public platform::ClockBackend {
  public:
    SimClock(const std::vector<ScriptedKey>& keys, std::uint64_t until, std::uint32_t startTick,
             bool replaying, const SimHooks& hooks)
        : keys_(keys), until_(until), startTick_(startTick), replaying_(replaying), hooks_(hooks) {
        deliverKeysDue();
    }

    // Counted apart from the tick count, which wraps.
    std::uint64_t elapsed() const { return elapsed_; }

    std::uint32_t tickCount() override { return startTick_ + static_cast<std::uint32_t>(elapsed_); }

    void sleepMs(std::uint32_t ms) override {
        // A replay starts without waiting at the title, so a title met later is the end of it.
        if (elapsed_ + ms > until_ || (replaying_ && titleShown())) {
            throw StopSimulation{};
        }
        elapsed_ += ms;
        if (!hooks_.onSleep && promptWindow.lastKey == 0 && titleShown()) {
            // Every poll until then would find nothing.
            const std::uint64_t nextKey = nextKey_ < keys_.size() ? keys_[nextKey_].ms : until_;
            elapsed_ = std::max(elapsed_, std::min(nextKey, until_));
        }
        deliverKeysDue();
        if (hooks_.onSleep) {
            hooks_.onSleep(elapsed_);
        }
    }

  private:
    void deliverKeysDue() {
        for (; nextKey_ < keys_.size() && keys_[nextKey_].ms <= elapsed_; ++nextKey_) {
            promptWindow.lastKey = keys_[nextKey_].code;
        }
    }

    const std::vector<ScriptedKey>& keys_;
    const std::uint64_t until_;
    const std::uint32_t startTick_;
    const bool replaying_;
    const SimHooks& hooks_;
    std::uint64_t elapsed_ = 0;
    std::size_t nextKey_ = 0;
};

class RecordingDisplay final : public LcdDisplay {
  public:
    RecordingDisplay(const SimHooks& hooks, const SimClock& clock) : hooks_(hooks), clock_(clock) {}
    void drawCell(int, int, int) override {}
    void rowDrawn() override {
        if (hooks_.onRedraw) {
            hooks_.onRedraw(clock_.elapsed());
        }
    }

  private:
    const SimHooks& hooks_;
    const SimClock& clock_;
};

// The clock and the display the game sees while a simulation runs, and not a moment longer.
struct InstalledSeams {
    InstalledSeams(platform::ClockBackend& clock, LcdDisplay& display) {
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
void resetGame(const SimOptions& options) {
    runtimeInit();
    gameState = GameState{};
    LcdRow::cells.fill(0);
    GlyphSet::glyphLoaded.fill(0);
    // A fresh process's deadline of 0, seen from the default start: whatever the start, the
    // schedule then meets the same differences.
    FramePacer::deadline = options.startTick - kStartTick;
    promptWindow.lastKey = 0;
    createGameTexts();
    fillGameTables();
    RandomSource::setSeed(static_cast<std::int32_t>(options.seed));
}

// The keys of the simulation running, for keyReads().
const GameKeys* runningKeys = nullptr;

SimEnd run(const std::vector<ScriptedKey>& keys, const SimOptions& options, const SimHooks& hooks,
           const std::optional<Replay>& replay) {
    const std::uint64_t lastKey = replay ? kMaxScriptMs : keys.empty() ? 0 : keys.back().ms;
    const std::uint64_t until = options.untilMs.value_or(std::min(lastKey + 60000, kMaxScriptMs));
    resetGame(options);
    // The run's own keys: nothing of an earlier simulation's game is left in them.
    GameKeys gameKeys(replay);
    SimClock clock(keys, until, options.startTick, replay.has_value(), hooks);
    RecordingDisplay display(hooks, clock);

    const InstalledSeams seams(clock, display);
    runningKeys = &gameKeys;
    try {
        runGame(gameKeys);
    } catch (const StopSimulation&) {
    }
    runningKeys = nullptr;
    return {clock.elapsed(), gameState.score, gameState.stage, gameState.lives};
}

} // namespace

SimEnd simulate(const std::vector<ScriptedKey>& keys, const SimOptions& options,
                const SimHooks& hooks) {
    return run(keys, options, hooks, std::nullopt);
}

SimEnd simulateReplay(const Replay& replay, const SimOptions& options, const SimHooks& hooks) {
    return run({}, options, hooks, replay);
}

std::uint32_t keyReads() {
    return runningKeys != nullptr ? runningKeys->reads() : 0;
}

} // namespace sim
