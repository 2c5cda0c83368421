// Whole games on the virtual clock, through the simulator's engine.
#include "game/game_state.h"
#include "game/play.h"
#include "game/replay_code.h"
#include "lcd/lcd_row.h"
#include "platform/headless/headless_sounds.h"
#include "prompt/prompt_window.h"
#include "runtime/rt_string.h"
#include "sim_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {
bool operator==(SoundCue a, SoundCue b) {
    return a.event == b.event && a.slot == b.slot;
}
} // namespace platform

namespace {

constexpr std::uint8_t kEnter = 13;
constexpr std::uint8_t kX = 0x58;
constexpr std::uint8_t kZ = 0x5A;
constexpr std::uint8_t kE = 0x45;
using Sound = platform::SoundEvent;

std::string rowText() {
    std::string text;
    for (std::int16_t code : LcdRow::cells) {
        text += code == 0 ? '_' : code == 0xA6 ? '~' : static_cast<char>(code);
    }
    return text;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// A game with Enter pressed at once; `onFrame` runs after every sleep and `onRedraw` after
// every redraw, and either may press keys.
// Every sound is recorded at the key read the game had reached.
struct Game {
    std::vector<std::string> rows;
    std::vector<std::pair<platform::SoundCue, std::uint64_t>> sounds;
    sim::SimEnd end;

    void run(std::uint64_t untilMs, const std::function<void()>& onFrame,
             const std::function<void()>& onRedraw = {}, std::optional<Replay> replay = {}) {
        sim::SimHooks hooks;
        hooks.onRedraw = [&](std::uint64_t) {
            rows.push_back(rowText());
            if (onRedraw) {
                onRedraw();
            }
        };
        hooks.onSleep = [&](std::uint64_t) {
            if (onFrame) {
                onFrame();
            }
        };
        const sim::SimOptions options = {.seed = 1, .untilMs = untilMs};
        platform::HeadlessSounds recorder(sim::keyReads);
        platform::useSoundOutput(&recorder);
        end = replay ? sim::simulateReplay(*replay, options, hooks)
                     : sim::simulate({{0, kEnter}}, options, hooks);
        platform::useSoundOutput(nullptr);
        for (const auto& played : recorder.played) {
            sounds.emplace_back(played.cue, played.at);
        }
    }

    std::size_t find(const std::string& prefix, std::size_t from = 0) const {
        for (std::size_t i = from; i < rows.size(); ++i) {
            if (startsWith(rows[i], prefix)) {
                return i;
            }
        }
        return rows.size();
    }
};

void press(std::uint8_t key) {
    promptWindow.lastKey = key;
}

// The frame about to run polls the keys (neither the generation nor the advance frame).
bool framePolls() {
    return gameState.countdown >= 2 && gameState.countdown < gameState.period;
}

// Aims at the nearest invader and shoots it, pressing every other polling frame so that the
// repeat guard never swallows a press.
// What each press must sound like, at the read that will take it, is kept in `expected`.
struct Marksman {
    bool pressedLastFrame = false;
    std::vector<std::pair<platform::SoundCue, std::uint64_t>> expected;
    void operator()() {
        if (pressedLastFrame || !framePolls() || gameState.lives < 1) {
            pressedLastFrame = false;
            return;
        }
        for (int s = 1; s <= 6; ++s) {
            if (gameState.row[s] != kBlankCode) {
                const bool onTarget = gameState.aim == gameState.row[s];
                press(onTarget ? kZ : kX);
                const platform::SoundCue cue =
                    !onTarget ? platform::SoundCue{Sound::aimStepped, 0}
                    : gameState.row[s] == kBonusCode
                        ? platform::SoundCue{Sound::bonusHit, 0}
                        : platform::SoundCue{Sound::invaderHit, static_cast<std::uint8_t>(s)};
                expected.emplace_back(cue, sim::keyReads() + 1);
                pressedLastFrame = true;
                return;
            }
        }
    }
};

TEST(WholeGame, TitleThenStagesClearedThroughTheNinthAndRoundToTheFirst) {
    Marksman marksman;
    // The stages played, in order, each with the period of its waves.
    std::vector<std::pair<double, double>> stages;
    Game game;
    game.run(600000, [&] {
        if (stages.size() < 11) {
            marksman();
        }
        const std::pair<double, double> now{gameState.stage, gameState.period};
        if (now.second != 0 && (stages.empty() || stages.back() != now)) {
            stages.push_back(now);
        }
    });
    ASSERT_GE(game.rows.size(), 3u);
    EXPECT_EQ(game.rows[0], "PUSH ENTER__");
    EXPECT_EQ(game.rows[1], "____________") << "Enter clears the title";
    EXPECT_EQ(game.rows[2], "0*__________") << "aim 0 and three lives";

    const std::size_t clear = game.find("STAGE CLEAR ");
    ASSERT_LT(clear, game.rows.size()) << "the marksman clears stage 0";
    const std::string readout = game.rows[clear + 1].substr(0, game.rows[clear + 1].find(' '));
    EXPECT_TRUE(startsWith(readout, "0-")) << "the readout shows the stage just cleared";
    EXPECT_TRUE(startsWith(game.rows[clear - 1], readout)) << "printed once before the phases";

    const std::size_t nextWave = game.find("0*", clear);
    ASSERT_LT(nextWave, game.rows.size()) << "a new wave starts after the banner";
    EXPECT_EQ(game.rows[nextWave - 1], "____________");

    // Each stage marches faster, down to stage 9; then stage 0 again.
    ASSERT_GE(stages.size(), 11u);
    for (int i = 0; i < 11; ++i) {
        const int stage = i % 10;
        EXPECT_EQ(stages[i], (std::pair<double, double>{stage, 100 - 5 * stage})) << i;
    }
    EXPECT_GE(game.end.score, 10 * 16 * 10);
}

TEST(WholeGame, MissesCostLivesAndTheLastGoesStraightToGameOver) {
    // Three invaders shot, then the rest let through.
    Marksman marksman;
    double issuedAtWave2 = -1;
    double destroyedAtWave2 = -1;
    Game game;
    game.run(
        120000,
        [&] {
            if (gameState.destroyed < 3) {
                marksman();
            }
        },
        [&] {
            if (issuedAtWave2 < 0 && rowText() == "0=__________") {
                issuedAtWave2 = gameState.issued;
                destroyedAtWave2 = gameState.destroyed;
            }
        });
    const std::size_t wave1 = game.find("0*__________");
    const std::size_t miss1 = game.find("MISS", wave1);
    const std::size_t wave2 = game.find("0=__________", miss1);
    const std::size_t miss2 = game.find("MISS", wave2);
    const std::size_t wave3 = game.find("0-__________", miss2);
    const std::size_t over = game.find("GAME OVER", wave3);
    ASSERT_LT(over, game.rows.size());
    EXPECT_LT(wave1, miss1);
    const std::string score = std::to_string(static_cast<int>(game.end.score));
    EXPECT_TRUE(startsWith(game.rows[miss1 + 1], "0-" + score + " ")) << "stage 0, the score";
    EXPECT_EQ(destroyedAtWave2, 3);
    EXPECT_EQ(issuedAtWave2, 3) << "only the invaders not yet destroyed come again";
    EXPECT_EQ(game.find("MISS", wave3), game.rows.size()) << "no MISS banner for the last life";
    EXPECT_LT(game.find("PUSH ENTER", over), game.rows.size()) << "back to the title";
    EXPECT_EQ(game.end.lives, 0);

    // Each press sounds at the read that took it; the flow's sounds follow the last press.
    const std::size_t pressed = marksman.expected.size();
    ASSERT_EQ(game.sounds.size(), pressed + 3);
    EXPECT_EQ(std::vector(game.sounds.begin(), game.sounds.begin() + pressed), marksman.expected);
    EXPECT_EQ(std::count_if(game.sounds.begin(), game.sounds.end(),
                            [](const auto& s) { return s.first.event == Sound::invaderHit; }),
              3);
    const std::vector<Sound> flow = {Sound::lifeLost, Sound::lifeLost, Sound::gameOver};
    for (std::size_t i = 0; i < flow.size(); ++i) {
        EXPECT_EQ(game.sounds[pressed + i].first.event, flow[i]) << i;
        EXPECT_GT(game.sounds[pressed + i].second, game.sounds[pressed + i - 1].second) << i;
    }
}

TEST(WholeGame, ThirtiethFirePressEndsTheGameDuringAnAdvance) {
    Game game;
    int presses = 0;
    bool pressedLastFrame = false;
    std::size_t rowsAtE = 0;
    double countdownAtGameOver = -1;
    double shotsLeftAtGameOver = -1;
    game.run(
        60000,
        [&] {
            if (presses < 29 && framePolls() && !pressedLastFrame) {
                press(kZ);
                ++presses;
                pressedLastFrame = true;
                return;
            }
            pressedLastFrame = false;
            if (presses == 29 && gameState.countdown == 1) {
                press(kE); // stays pending through the generation frame
                ++presses;
                rowsAtE = game.rows.size();
            }
        },
        [&] {
            if (startsWith(rowText(), "GAME OVER") && countdownAtGameOver < 0) {
                countdownAtGameOver = gameState.countdown;
                shotsLeftAtGameOver = gameState.shotsLeft;
            }
        });
    const std::size_t over = game.find("GAME OVER");
    ASSERT_LT(over, game.rows.size());
    EXPECT_EQ(over, rowsAtE + 2) << "the advance's first print, then straight to the banner";
    EXPECT_TRUE(startsWith(game.rows[over - 1], "0-")) << "the banner's readout print";
    EXPECT_EQ(shotsLeftAtGameOver, 0);
    EXPECT_EQ(countdownAtGameOver, 0) << "the rest of the advance was abandoned";
    EXPECT_EQ(game.end.lives, 3);
    ASSERT_EQ(game.sounds.size(), 30u) << "29 shots, then the 30th press is GAME OVER alone";
    EXPECT_EQ(game.sounds.back().first.event, Sound::gameOver);
}

TEST(WholeGame, KeyRepeatsAreIgnoredAcrossTheFrameLoopAndTheAdvance) {
    Game game;
    int advanceRedraws = 0;
    int framesAfterAdvance = 0;
    double aimWhenAdvanceBegan = 0;
    double aimAfterAdvance = 0;
    game.run(
        4000,
        [&] {
            if (advanceRedraws == 0) {
                if (gameState.countdown == 2) {
                    press(kX); // the last poll before the advance acts on it
                } else if (gameState.countdown == 1) {
                    press(kX); // read by the advance's first poll: a repeat
                } else if (gameState.countdown == 0) {
                    aimWhenAdvanceBegan = gameState.aim;
                }
                return;
            }
            switch (++framesAfterAdvance) {
            case 1:
                aimAfterAdvance = gameState.aim;
                press(kX); // repeat of the X the advance's last poll read
                break;
            case 3:
                press(kX); // after an empty poll the same key acts again
                break;
            default:
                break;
            }
        },
        [&] {
            if (gameState.period > 0 && gameState.countdown == 0 && ++advanceRedraws == 5) {
                press(kX); // read by the poll of the advance's fifth step
            }
        });
    EXPECT_EQ(aimWhenAdvanceBegan, 2);
    EXPECT_EQ(aimAfterAdvance, 3);
    EXPECT_EQ(gameState.aim, 4) << "five presses, two of them repeats";
}

TEST(WholeGame, AGameAsRecordedPlaysBackTheSameFromItsCode) {
    static std::string code;
    listenForGameOver([](double, const std::string& gameCode, bool) { code = gameCode; });
    Game played;
    Marksman marksman;
    int frames = 0;
    // Aimed play, E now and then during advances, then nothing until the misses end the game.
    played.run(
        300000,
        [&] {
            if (++frames < 5000) {
                marksman();
            }
        },
        [&] {
            if (gameState.period > 0 && gameState.countdown == 0 && frames % 3 == 0 &&
                frames < 5000) {
                press(kE);
            }
        });
    listenForGameOver(nullptr);
    const std::size_t title = played.find("PUSH ENTER", 1);
    ASSERT_LT(title, played.rows.size()) << "the game reached GAME OVER";
    played.rows.resize(title + 1);
    // The player's Enter ends the replay's GAME OVER banner at its first frame.
    played.rows.erase(played.rows.begin() + played.find("GAME OVER") + 1, played.rows.end() - 2);

    const DecodedReplay decoded = decodeReplay(code);
    ASSERT_EQ(decoded.fault, ReplayFault::none) << code;
    Game replayed;
    replayed.run(
        sim::kMaxScriptMs, [] { press(kEnter); }, {}, decoded.replay);
    EXPECT_EQ(replayed.rows, played.rows) << "the player's keys do nothing until GAME OVER";
    EXPECT_EQ(replayed.sounds, played.sounds) << "a replay sounds as the game did";
    EXPECT_TRUE(platform::takeHostKey(platform::kMuteKey));
    Game muted;
    muted.run(
        sim::kMaxScriptMs, [] { press(kEnter); }, {}, decoded.replay);
    EXPECT_TRUE(platform::takeHostKey(platform::kMuteKey));
    EXPECT_EQ(muted.rows, played.rows) << "muted, the same game";
    EXPECT_TRUE(muted.sounds.empty());
    EXPECT_EQ(replayed.end.score, played.end.score);
    EXPECT_GT(replayed.end.score, 1000) << "a game that scored";
    EXPECT_EQ(replayed.end.stage, played.end.stage);
    EXPECT_EQ(replayed.end.lives, 0);
}

TEST(WholeGame, LiveStringsStayFlatOverManyGames) {
    Game game;
    Marksman marksman;
    std::vector<std::int32_t> counts;
    int games = 1;
    game.run(1800000, [&] {
        counts.push_back(stringCount());
        if (startsWith(rowText(), "PUSH ENTER") && promptWindow.lastKey == 0) {
            ++games;
            press(kEnter);
        }
        // Clears two stages, then lets the invaders through to see misses and game over too.
        if (gameState.stage < 2) {
            marksman();
        }
    });
    EXPECT_GT(games, 5);
    EXPECT_GT(game.end.score, 0);
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(*std::min_element(counts.begin(), counts.end()), 21);
    EXPECT_EQ(*std::max_element(counts.begin(), counts.end()), 21);
}

} // namespace
