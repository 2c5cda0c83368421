#include "game/game_keys.h"
#include "game/game_text.h"
#include "game/play.h"
#include "runtime/frame_pacer.h"
#include "runtime/number_text.h"

namespace {

constexpr int kPhases = 15;
constexpr int kFramesPerPhase = 40;
constexpr std::uint32_t kFrameMs = 17;
// Blanks the cells after a short text.
constexpr char kFill[] = "       ";

} // namespace

void showBanner(GameKeys& keys) {
    stringAssign(gameState.displayText,
                 stringConcat(stringConcat(numberToText(gameState.stage), stringFromText("-")),
                              numberToText(gameState.score)));
    LcdRow::printAt(0, stringCopy(gameState.displayText));
    gameState.blinkCount = 0;
    for (;;) {
        const bool messagePhase = toInt(gameState.blinkCount) % 2 == 0;
        RtString text = stringCopy(messagePhase ? gameState.banner : gameState.displayText);
        LcdRow::printAt(0, stringConcat(text, stringFromText(kFill)));
        gameState.enterSeen = 0;
        for (int frame = 1; frame <= kFramesPerPhase; ++frame) {
            FramePacer::wait(kFrameMs);
            if (isEnter(keys.read())) {
                gameState.enterSeen = 1;
                break;
            }
        }
        if (gameState.enterSeen != 0) {
            break;
        }
        gameState.blinkCount = gameState.blinkCount + 1;
        if (gameState.blinkCount >= kPhases) {
            break;
        }
    }
    LcdRow::clear();
}
