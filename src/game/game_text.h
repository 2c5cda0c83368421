// Small text habits shared by the routines of play.
#pragma once

#include "game/game_state.h"
#include "lcd/lcd_row.h"
#include "runtime/rt_string.h"

#include <cstdint>

// Whether a string variable holds the given text; the variable keeps its value.
inline bool textIs(RtString variable, const char* literal) {
    return stringCompare(stringCopy(variable), stringFromText(literal)) == 2;
}

// Enter is compared as the one-character text of byte 13. Consumes `text`.
inline bool isEnter(RtString text) {
    return stringCompare(text, stringFromByte(13)) == 2;
}

// Shows the glyph character of a row code in a cell.
inline void printCode(int cell, double code) {
    LcdRow::printAt(static_cast<std::int16_t>(cell), stringCopy(gameState.glyphChar[toInt(code)]));
}
