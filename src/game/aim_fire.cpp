#include "game/game_text.h"
#include "game/play.h"
#include "platform/sound_output.h"

namespace {

constexpr int kSlots = 6;
constexpr double kBonusPoints = 300;
constexpr double kPointsPerSlot = 10;

// Invaders between the player and the hit each move one slot away from the player, from the hit
// slot down, and slot 1 empties.
void closeGap(int hitSlot) {
    for (int s = hitSlot; s >= 2; --s) {
        gameState.row[s] = gameState.row[s - 1];
        printCode(s + 1, gameState.row[s]);
    }
    gameState.row[1] = gameState.blankCode;
    LcdRow::printAt(2, stringFromText(" "));
}

} // namespace

void stepAim() {
    gameState.aim = (toInt(gameState.aim) % 11) + 1;
    printCode(0, gameState.aim);
    platform::playSound(platform::SoundEvent::aimStepped);
}

bool fireShot() {
    gameState.shotsLeft = gameState.shotsLeft - 1;
    if (gameState.shotsLeft <= 0) {
        return true;
    }
    gameState.hitSlot = 0;
    for (int s = 1; s <= kSlots; ++s) {
        if (gameState.row[s] == gameState.aim) {
            gameState.hitSlot = s;
            break;
        }
    }
    if (gameState.hitSlot == 0) {
        platform::playSound(platform::SoundEvent::shotFired);
        return false;
    }
    if (gameState.aim >= gameState.bonusCode) {
        gameState.score = gameState.score + kBonusPoints;
        platform::playSound(platform::SoundEvent::bonusHit);
    } else {
        platform::playSound(platform::SoundEvent::invaderHit, toInt(gameState.hitSlot));
        gameState.score = gameState.score + kPointsPerSlot * gameState.hitSlot;
        gameState.digitSum = gameState.digitSum + (gameState.aim - 1);
        gameState.bonusArmed = 1;
        gameState.destroyed = gameState.destroyed + 1;
    }
    if (gameState.destroyed >= gameState.quota) {
        // The invader just hit stays on the display until the stage-clear sequence clears it.
        gameState.stageCleared = 1;
        return false;
    }
    closeGap(toInt(gameState.hitSlot));
    return false;
}
