#include "game/game_state.h"
#include "game/play.h"
#include "runtime/random_source.h"

namespace {

constexpr int kBonusPeriod = 10;
constexpr std::int32_t kProductModulus = 100000;
constexpr double kFractionDivisor = 100000.0;
constexpr double kDigitScale = 10;

} // namespace

double randomFraction() {
    const std::int32_t a = RandomSource::next();
    const std::int32_t b = RandomSource::next();
    // Both are at most 32767, so the product stays within 32 bits.
    const std::int32_t product = a * b;
    return (product % kProductModulus) / kFractionDivisor;
}

void generateNext() {
    if (gameState.row[1] != gameState.blankCode) {
        gameState.missed = 1;
        return;
    }
    if (gameState.issued >= gameState.quota) {
        gameState.nextCode = gameState.blankCode;
        return;
    }
    if (gameState.bonusArmed == 1 && toInt(gameState.digitSum) % kBonusPeriod == 0) {
        gameState.nextCode = gameState.bonusCode;
        gameState.bonusArmed = 0;
        return;
    }
    gameState.nextCode = toInt(randomFraction() * kDigitScale) + 1;
    gameState.issued = gameState.issued + 1;
}
