#include "game/game_keys.h"

#include "runtime/random_source.h"

#include <utility>

namespace {

std::optional<Replay> queued;
bool playingBack = false;
Replay game;
std::size_t nextKey = 0;
std::uint32_t reads = 0;
std::string lastCode;

} // namespace

void queueReplay(std::optional<Replay> replay) {
    queued = std::move(replay);
}

bool replayQueued() {
    return queued.has_value();
}

void beginGameKeys() {
    playingBack = queued.has_value();
    if (playingBack) {
        game = std::move(*queued);
        queued.reset();
        RandomSource::setSeed(static_cast<std::int32_t>(game.seed));
    } else {
        game = Replay{RandomSource::seed, {}};
    }
    nextKey = 0;
    reads = 0;
}

RtString readGameKey() {
    RtString key = readLastKey();
    const std::uint32_t read = reads++;
    if (playingBack) {
        stringRelease(key);
        if (nextKey < game.keys.size() && game.keys[nextKey].read == read) {
            return stringFromByte(game.keys[nextKey++].code);
        }
        return stringAlloc(0);
    }
    if (stringLength(key) != 0) {
        game.keys.push_back({read, static_cast<std::uint8_t>(stringFirstByte(stringCopy(key)))});
    }
    return key;
}

bool endGameKeys() {
    lastCode = encodeReplay(game);
    return std::exchange(playingBack, false);
}

std::uint32_t gameKeyReads() {
    return reads;
}

const std::string& lastGameCode() {
    return lastCode;
}
