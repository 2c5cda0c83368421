// The keys of a game: recorded as the game reads them, or played back from a replay in their
// place.
//
// A key's moment is the game's own count of key reads, not the time: from the start of a game
// (its title taking Enter, read 0 being the first read after it) every frame of play that looks
// at the keys, each of an advance's five steps and each frame of a MISS or STAGE CLEAR banner
// reads once, whether or not a key is there. A late frame reads nothing extra, so the same reads
// meet the same keys on any clock: the window's, the page's and the simulator's virtual one.
//
// One GameKeys per run of the game, owned by whoever runs it (the start-up, each simulation), and
// used on its game thread only.
#pragma once

#include "game/replay_code.h"
#include "runtime/rt_string.h"

#include <optional>
#include <string>

class GameKeys {
  public:
    // With a replay, the first game plays it back: the title does not wait for Enter, the seed is
    // the replay's, the machine's clock runs at `watchPace` (platform/watch_pace.h) and the
    // player's keys are read and dropped until its GAME OVER. Every other game is the player's,
    // each from `daySeed` when one is given (today's game, which may be tried again and again),
    // else from the random source as the game before left it.
    explicit GameKeys(std::optional<Replay> replay = std::nullopt,
                      std::optional<std::uint32_t> daySeed = std::nullopt,
                      std::uint32_t watchPace = 1);

    bool replayWaiting() const { return waiting_.has_value(); }

    // At the start of a game, with the random source as the game will meet it.
    void beginGame();
    // One key read, in readLastKey's form: during a game, the player's key recorded or the
    // replay's in its place; between games (the GAME OVER banner) the player's, unrecorded.
    RtString read();
    // How many key reads the game in play has made so far: the moment of anything it does, on
    // every clock alike.
    std::uint32_t reads() const { return reads_; }

    struct GameEnd {
        // The game's code; empty when it is too long for one (kMaxReplayCode).
        std::string code;
        // Whether it was a replay played back.
        bool replayed = false;
    };
    // At GAME OVER: nothing is recorded from here until the next game begins.
    GameEnd endGame();

  private:
    enum class Mode { betweenGames, recording, playingBack };

    std::optional<Replay> waiting_;
    std::optional<std::uint32_t> daySeed_;
    std::uint32_t watchPace_;
    Mode mode_ = Mode::betweenGames;
    Replay game_;
    std::size_t nextKey_ = 0;
    std::uint32_t reads_ = 0;
};
