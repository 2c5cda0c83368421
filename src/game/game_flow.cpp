#include "game/game_keys.h"
#include "game/game_text.h"
#include "game/play.h"
#include "platform/sound_output.h"
#include "prompt/text_screen.h"
#include "runtime/frame_pacer.h"

namespace {

constexpr double kStartLives = 3;
constexpr double kQuota = 16;
constexpr double kShotsPerWave = 30;
constexpr double kHighestStage = 9;
constexpr std::uint32_t kFrameMs = 17;
constexpr std::uint32_t kTitlePollMs = 1;

enum class WaveOutcome { StageClear, Miss, GameOver };

GameOverListener gameOverListener = nullptr;

void waitAtTitle(const GameKeys& keys) {
    LcdRow::printAt(0, stringFromText("PUSH ENTER"));
    // Woken by a key instead of looking for one a thousand times a second: a game left at its
    // title stays off the processor. A replay starts on its own.
    while (!keys.replayWaiting() && !isEnter(readLastKey())) {
        waitForKey(kTitlePollMs);
    }
    LcdRow::clear();
}

void startStage() {
    gameState.destroyed = 0;
    gameState.quota = kQuota;
    gameState.stageCleared = 0;
}

void startWave() {
    gameState.missed = 0;
    // The display cells are blank already; the row is not redrawn here.
    for (int s = 1; s <= 6; ++s) {
        gameState.row[s] = gameState.blankCode;
    }
    gameState.period = 100 - 5 * gameState.stage;
    gameState.countdown = gameState.period;
    stringAssign(gameState.previousKey, stringAlloc(0));
    gameState.aim = 1;
    gameState.shotsLeft = kShotsPerWave;
    gameState.digitSum = 0;
    gameState.bonusArmed = 0;
    // After a miss the invaders not yet destroyed in this stage come again.
    gameState.issued = gameState.destroyed;
    stringAssign(gameState.displayText,
                 stringConcat(stringCopy(gameState.glyphChar[toInt(gameState.aim)]),
                              stringCopy(gameState.livesMark[toInt(gameState.lives)])));
    LcdRow::printAt(0, stringCopy(gameState.displayText));
}

// One frame's key poll. Returns true when the frame ends without the outcome check.
bool pollKeys(GameKeys& keys, bool& shotsUsedUp) {
    stringAssign(gameState.key, keys.read());
    if (stringCompare(stringCopy(gameState.key), stringCopy(gameState.previousKey)) == 2) {
        return true;
    }
    // A poll that finds no key resets the repeat guard too.
    stringAssign(gameState.previousKey, stringCopy(gameState.key));
    if (textIs(gameState.key, "X")) {
        stepAim();
        return true;
    }
    if (textIs(gameState.key, "Z")) {
        shotsUsedUp = fireShot();
    }
    return false;
}

WaveOutcome playWave(GameKeys& keys) {
    for (;;) {
        gameState.countdown = gameState.countdown - 1;
        FramePacer::wait(kFrameMs);
        bool shotsUsedUp = false;
        if (gameState.countdown == 1) {
            generateNext();
        } else if (gameState.countdown == 0) {
            if (advanceRow(keys)) {
                return WaveOutcome::GameOver;
            }
            continue;
        } else if (pollKeys(keys, shotsUsedUp)) {
            continue;
        }
        if (shotsUsedUp) {
            return WaveOutcome::GameOver;
        }
        if (gameState.stageCleared != 0) {
            return WaveOutcome::StageClear;
        }
        if (gameState.missed != 0) {
            return WaveOutcome::Miss;
        }
    }
}

void announce(GameKeys& keys, const char* message) {
    stringAssign(gameState.banner, stringFromText(message));
    showBanner(keys);
}

// Plays stages until the game is over.
void playGame(GameKeys& keys) {
    for (;;) {
        startStage();
        WaveOutcome outcome = WaveOutcome::Miss;
        while (outcome == WaveOutcome::Miss) {
            startWave();
            outcome = playWave(keys);
            if (outcome == WaveOutcome::GameOver) {
                return;
            }
            if (outcome == WaveOutcome::Miss) {
                gameState.lives = gameState.lives - 1;
                if (gameState.lives <= 0) {
                    return;
                }
                platform::playSound(platform::SoundEvent::lifeLost);
                announce(keys, "MISS");
                clearScreen(0);
            }
        }
        platform::playSound(platform::SoundEvent::stageCleared);
        announce(keys, "STAGE CLEAR");
        gameState.stage = gameState.stage + 1;
        if (gameState.stage > kHighestStage) {
            gameState.stage = 0;
        }
        LcdRow::clear();
    }
}

} // namespace

void listenForGameOver(GameOverListener listener) {
    gameOverListener = listener;
}

void runGame(GameKeys& keys) {
    for (;;) {
        waitAtTitle(keys);
        keys.beginGame();
        gameState.score = 0;
        gameState.stage = 0;
        gameState.lives = kStartLives;
        playGame(keys);
        const GameKeys::GameEnd end = keys.endGame();
        if (gameOverListener != nullptr) {
            gameOverListener(gameState.score, end.code, end.replayed);
        }
        platform::playSound(platform::SoundEvent::gameOver);
        announce(keys, "GAME OVER");
    }
}
