#include "game/play.h"
#include "platform/headless/virtual_clock.h"
#include "runtime/frame_pacer.h"
#include "support/game_fixture.h"

#include <map>

namespace {

// Runs banners on a virtual clock, with keys put in the latch at chosen frames.
class BannerTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        clock.onAfterSleep([this](std::uint32_t) {
            ++frames;
            if (auto key = keysAtFrame.find(frames); key != keysAtFrame.end()) {
                promptWindow.lastKey = key->second;
            }
        });
        platform::useClock(&clock);
        FramePacer::deadline = clock.tickCount();
    }
    void TearDown() override {
        platform::useClock(nullptr);
        GameFixture::TearDown();
    }

    void show(const char* message, double stage, double score) {
        stringAssign(gameState.banner, stringFromText(message));
        gameState.stage = stage;
        gameState.score = score;
        showBanner(keys);
    }

    // The distinct texts shown, in order, skipping the readout print that the first phase covers.
    std::vector<std::string> phases() const {
        std::vector<std::string> texts;
        for (std::size_t i = 1; i + 1 < display.rows.size(); ++i) {
            std::string text;
            for (std::int16_t code : display.rows[i]) {
                text += code == 0 ? '_' : static_cast<char>(code);
            }
            texts.push_back(text);
        }
        return texts;
    }

    platform::VirtualClock clock{50000};
    int frames = 0;
    std::map<int, std::uint8_t> keysAtFrame;
};

TEST_F(BannerTest, WithoutKeysFifteenPhasesOfFortyFramesMessageFirstAndLast) {
    show("MISS", 0, 0);
    EXPECT_EQ(frames, 600);
    EXPECT_EQ(clock.tickCount() - 50000, 600u * 17);
    const std::vector<std::string> texts = phases();
    ASSERT_EQ(texts.size(), 15u);
    EXPECT_EQ(texts[0], "MISS       _");
    EXPECT_EQ(texts[1], "0-0        _") << "cells 10 and 11 keep what they held";
    EXPECT_EQ(texts[14], "MISS       _");
    EXPECT_EQ(shown(), "____________") << "clear at the end";
    EXPECT_EQ(stringCount(), 21) << "only the game's own texts stay alive";
}

TEST_F(BannerTest, ReadoutShowsStageThenScore) {
    keysAtFrame[41] = 13;
    show("STAGE CLEAR", 9, 1230);
    const std::vector<std::string> texts = phases();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "STAGE CLEAR ");
    EXPECT_EQ(texts[1], "9-1230      ");
    EXPECT_EQ(display.rows.front()[0], '9') << "the readout is printed before the first phase";
}

TEST_F(BannerTest, EnterEndsItAfterItsFrameAndOtherKeysAreConsumed) {
    keysAtFrame[3] = 0x58;
    keysAtFrame[7] = 13;
    show("GAME OVER", 0, 50);
    EXPECT_EQ(frames, 7);
    EXPECT_EQ(phases(), std::vector<std::string>{"GAME OVER   "});
    EXPECT_EQ(promptWindow.lastKey.load(), 0);
}

TEST_F(BannerTest, EnterInTheLastFrameOfTheLastPhase) {
    keysAtFrame[600] = 13;
    show("MISS", 1, 10);
    EXPECT_EQ(frames, 600);
    EXPECT_EQ(phases().size(), 15u);
}

} // namespace
