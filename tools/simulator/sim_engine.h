// Plays the real game with no window and no pictures, on a virtual clock, from a key script.
//
// The tick count starts at `startTick`; only sleeps move it, each by exactly its length, except
// at the title: there nothing changes until a key comes, so when no key is waiting and none is
// due by the end of the sleep, the clock moves straight on to the next key's time (or to
// `untilMs`). A key scripted at time k lands in the key latch when the clock reaches
// startTick + k (keys at 0 before the game starts). The run stops at the first sleep that would
// end past `untilMs`, or with a replay, at the title its GAME OVER leads back to. One simulation at
// a time, on the calling thread: it uses the game's globals.
#pragma once

#include "key_script.h"

#include "game/replay_code.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace sim {

inline constexpr std::uint32_t kStartTick = 1000000;

struct SimOptions {
    std::uint32_t seed = 1;
    // Default: the last key's time plus 60000, at most kMaxScriptMs; for a replay kMaxScriptMs.
    std::optional<std::uint64_t> untilMs;
    // The game only looks at differences of the tick count, so the same script plays the same
    // game from any start, the 32-bit wrap included.
    std::uint32_t startTick = kStartTick;
};

struct SimHooks {
    // After each redraw of the row (LcdRow::cells holds what was drawn), at that virtual time.
    std::function<void(std::uint64_t ms)> onRedraw;
    // After each sleep, with the new virtual time. It may press keys, which the engine cannot
    // foresee: with this hook the title is waited out a millisecond at a time, never skipped.
    std::function<void(std::uint64_t ms)> onSleep;
};

struct SimEnd {
    std::uint64_t ms = 0;
    double score = 0;
    double stage = 0;
    double lives = 0;
};

SimEnd simulate(const std::vector<ScriptedKey>& keys, const SimOptions& options,
                const SimHooks& hooks = {});

// Plays `replay` from the title on, with its own seed (options.seed is not used) and no keys but
// its own.
SimEnd simulateReplay(const Replay& replay, const SimOptions& options, const SimHooks& hooks = {});

// The key reads the game of the simulation running has made so far (GameKeys::reads), for a hook
// that stamps what happens with the game's own moment; 0 outside a simulation.
std::uint32_t keyReads();

} // namespace sim
