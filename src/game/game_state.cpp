#include "game/game_state.h"

GameState gameState;

void createGameTexts() {
    for (RtString* text :
         {&gameState.key, &gameState.previousKey, &gameState.banner, &gameState.displayText}) {
        stringAssign(*text, stringAlloc(0));
    }
    for (RtString& mark : gameState.livesMark) {
        stringAssign(mark, stringAlloc(0));
    }
    for (RtString& glyph : gameState.glyphChar) {
        stringAssign(glyph, stringAlloc(0));
    }
}

void fillGameTables() {
    stringAssign(gameState.livesMark[1], stringFromText("-"));
    stringAssign(gameState.livesMark[2], stringFromText("="));
    stringAssign(gameState.livesMark[3], stringFromText("*"));
    // One byte each; the eleventh is the half-width katakana 0xA6 of the bonus invader.
    static constexpr char kGlyphChars[] = "0123456789\xA6 ";
    for (int k = 1; k <= 12; ++k) {
        stringAssign(gameState.glyphChar[k],
                     stringFromByte(static_cast<std::uint8_t>(kGlyphChars[k - 1])));
    }
    gameState.bonusCode = kBonusCode;
    gameState.blankCode = kBlankCode;
}
