#include "game/game_keys.h"
#include "game/game_text.h"
#include "game/play.h"

bool advanceRow(GameKeys& keys) {
    for (int j = 1; j <= 5; ++j) {
        // Until step j + 1 runs, the same code stands in slots j and j + 1.
        gameState.row[j] = gameState.row[j + 1];
        printCode(j + 1, gameState.row[j]);

        stringAssign(gameState.key, keys.read());
        if (stringCompare(stringCopy(gameState.key), stringCopy(gameState.previousKey)) == 2) {
            stringAssign(gameState.key, stringAlloc(0));
        } else {
            stringAssign(gameState.previousKey, stringCopy(gameState.key));
        }
        if (textIs(gameState.key, "X")) {
            stepAim();
        }
        // While the row moves, E fires; Z read here is used up without firing.
        if (textIs(gameState.key, "E") && fireShot()) {
            return true;
        }
    }
    gameState.row[6] = gameState.nextCode;
    printCode(7, gameState.nextCode);
    gameState.countdown = gameState.period;
    return false;
}
