#include "game/game_keys.h"

#include "platform/watch_pace.h"
#include "runtime/random_source.h"

#include <utility>

GameKeys::GameKeys(std::optional<Replay> replay, std::optional<std::uint32_t> daySeed,
                   std::uint32_t watchPace)
    : waiting_(std::move(replay)), daySeed_(daySeed), watchPace_(watchPace) {}

void GameKeys::beginGame() {
    if (waiting_) {
        mode_ = Mode::playingBack;
        game_ = std::move(*waiting_);
        waiting_.reset();
        RandomSource::setSeed(static_cast<std::int32_t>(game_.seed));
        platform::startWatching(watchPace_);
    } else {
        if (daySeed_) {
            RandomSource::setSeed(static_cast<std::int32_t>(*daySeed_));
        }
        mode_ = Mode::recording;
        game_ = Replay{RandomSource::seed, {}};
    }
    nextKey_ = 0;
    reads_ = 0;
}

RtString GameKeys::read() {
    RtString key = readLastKey();
    if (mode_ == Mode::betweenGames) {
        return key;
    }
    const std::uint32_t read = reads_++;
    if (mode_ == Mode::playingBack) {
        stringRelease(key);
        if (nextKey_ < game_.keys.size() && game_.keys[nextKey_].readsBefore == read) {
            return stringFromByte(game_.keys[nextKey_++].code);
        }
        return stringAlloc(0);
    }
    if (stringLength(key) != 0) {
        game_.keys.push_back({read, static_cast<std::uint8_t>(stringFirstByte(stringCopy(key)))});
    }
    return key;
}

GameKeys::GameEnd GameKeys::endGame() {
    GameEnd end{encodeReplay(game_), mode_ == Mode::playingBack};
    if (end.replayed) {
        platform::stopWatching();
    }
    mode_ = Mode::betweenGames;
    game_ = {};
    return end;
}
