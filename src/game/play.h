// The routines of play, over gameState. Game thread only.
#pragma once

#include <string>

class GameKeys;

// Moves the aim to the next code of the cycle 0..9, bonus symbol, and shows it in cell 0.
void stepAim();

// Spends a shot at the nearest invader matching the aim. Returns shotsUsedUp: true when this
// was the wave's 30th press, which ends the game at once (nothing but shotsLeft changed).
[[nodiscard]] bool fireShot();

// Chooses what the coming advance brings in, or raises `missed` when slot 1 is occupied.
void generateNext();

// Two draws of the random source folded into 0 .. 0.99999.
double randomFraction();

// Moves the row one slot toward the player, answering X and E (read from `keys`) between its
// steps. Returns shotsUsedUp from a shot fired meanwhile; the rest of the advance is then
// abandoned.
[[nodiscard]] bool advanceRow(GameKeys& keys);

// Alternates `banner` with the stage-and-score readout until Enter or about ten seconds pass,
// then leaves the display clear.
void showBanner(GameKeys& keys);

// Told the final score and the game's replay code (empty when the game is too long for one) as
// each game ends, just before its "GAME OVER" banner, and whether it was a replay played back
// (which must never become the best score): on the game thread between two frames, so it must not
// wait for anything. Unset (the simulator, the tests), nothing is told. Set it before the game
// runs.
using GameOverListener = void (*)(double score, const std::string& gameCode, bool replayed);
void listenForGameOver(GameOverListener listener);

// The whole life of play: title, stages, waves, frames, outcomes, its keys read from `keys`.
// Never returns.
[[noreturn]] void runGame(GameKeys& keys);
