// The game's one global record: every number, text and table its routines share.
// Game thread only. Numbers are doubles holding whole values, as the game has always kept them;
// every use as an index or remainder operand truncates toward zero (see toInt).
#pragma once

#include "runtime/rt_string.h"

#include <array>
#include <cstdint>

struct GameState {
    double score = 0;
    double stage = 0;
    double lives = 0;
    double quota = 0;
    double destroyed = 0;
    double stageCleared = 0;
    double missed = 0;
    // Slot 1 is next to the player (cell 2), slot 6 where invaders enter (cell 7); 0 is unused.
    std::array<double, 7> row{};
    double nextCode = 0;
    double issued = 0;
    double period = 0;
    double countdown = 0;
    double aim = 0;
    double shotsLeft = 0;
    double digitSum = 0;
    double bonusArmed = 0;
    double hitSlot = 0;
    double blinkCount = 0;
    double enterSeen = 0;
    double bonusCode = 0;
    double blankCode = 0;

    RtString key = nullptr;
    RtString previousKey = nullptr;
    RtString banner = nullptr;
    RtString displayText = nullptr;
    std::array<RtString, 4> livesMark{};  // 1 "-", 2 "=", 3 "*"
    std::array<RtString, 13> glyphChar{}; // code k: the k-th character of "0123456789\xA6 "
};

extern GameState gameState;

// Row codes: 1..10 the digits 0..9, then these two.
inline constexpr int kBonusCode = 11;
inline constexpr int kBlankCode = 12;

// How the game turns its numbers into indices and operands: truncation toward zero.
inline int toInt(double value) {
    return static_cast<int>(value);
}

// Creates the text fields, all empty (start-up, before the glyphs load).
void createGameTexts();
// Fills the lives marks, the glyph characters and the two code constants.
void fillGameTables();
