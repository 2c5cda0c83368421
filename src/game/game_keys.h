// The keys of a game: recorded as the game reads them, or played back from a replay in their
// place.
//
// A key's moment is the game's own count of key reads, not the time: from the start of a game
// (its title taking Enter, read 0 being the first read after it) every frame of play that looks
// at the keys, each of an advance's five steps and each frame of a MISS or STAGE CLEAR banner
// reads once, whether or not a key is there. A late frame reads nothing extra, so the same reads
// meet the same keys on any clock: the window's, the page's and the simulator's virtual one.
//
// Game thread only.
#pragma once

#include "game/replay_code.h"
#include "runtime/rt_string.h"

#include <optional>
#include <string>

// The next game plays `replay` back: the title does not wait for Enter, the seed is the replay's
// and the player's keys are read and dropped until its GAME OVER. std::nullopt: the next game is
// the player's.
void queueReplay(std::optional<Replay> replay);
bool replayQueued();

// At the start of a game, with the random source as the game will meet it.
void beginGameKeys();
// One key read of the game, in readLastKey's form.
RtString readGameKey();
// At GAME OVER: whether the game was a replay played back. Either way lastGameCode() is its code.
bool endGameKeys();

// How many key reads the game in play has made so far: the moment of anything it does, on every
// clock alike.
std::uint32_t gameKeyReads();

// The code of the last game to reach GAME OVER; empty before the first.
const std::string& lastGameCode();
