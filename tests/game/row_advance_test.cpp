#include "game/game_text.h"
#include "game/play.h"
#include "support/game_fixture.h"

#include <functional>

namespace {

// Puts a key in the latch right after the advance's print for step `step` (1..5), where the
// advance polls next.
class KeyAtStep final : public LcdDisplay {
  public:
    KeyAtStep(std::uint8_t key, std::size_t step) : key_(key), step_(step) { useLcdDisplay(this); }
    ~KeyAtStep() override { useLcdDisplay(nullptr); }
    void drawCell(int, int, int) override {}
    void rowDrawn() override {
        if (++redraws_ == step_) {
            promptWindow.lastKey = key_;
        }
    }
    std::size_t redraws() const { return redraws_; }

  private:
    std::uint8_t key_;
    std::size_t step_;
    std::size_t redraws_ = 0;
};

class RowAdvanceTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        gameState.quota = 16;
        gameState.shotsLeft = 30;
        gameState.aim = 1;
        gameState.period = 100;
        gameState.countdown = 0;
        setRow({12, 12, 12, 12, 12, 12});
    }
};

TEST_F(RowAdvanceTest, RowMovesTowardThePlayerAndTheNextCodeEnters) {
    setRow({12, 3, 12, 7, 12, 5});
    gameState.nextCode = 9;
    EXPECT_FALSE(advanceRow(keys));
    const std::array<double, 7> expected{0, 3, 12, 7, 12, 5, 9};
    EXPECT_EQ(gameState.row, expected);
    EXPECT_EQ(shown(), "__2 6 48____");
    EXPECT_EQ(display.rows.size(), 6u) << "five steps and the entry, each a redraw";
    EXPECT_EQ(gameState.countdown, 100);
}

TEST_F(RowAdvanceTest, EmptyRowTakesOnlyTheEntry) {
    gameState.nextCode = 12;
    EXPECT_FALSE(advanceRow(keys));
    EXPECT_EQ(shown(), "__      ____");
    for (int s = 1; s <= 6; ++s) {
        EXPECT_EQ(gameState.row[s], 12);
    }
}

TEST_F(RowAdvanceTest, EFiresDuringTheAdvanceOnTheHalfMovedRow) {
    // After step 2 the 4 stands in slots 2 and 3.
    setRow({12, 12, 4, 12, 12, 12});
    gameState.nextCode = 12;
    gameState.aim = 4;
    KeyAtStep key(0x45, 2);
    EXPECT_FALSE(advanceRow(keys));
    EXPECT_EQ(gameState.hitSlot, 2) << "the code of slot 3 is found in slot 2 first";
    EXPECT_EQ(gameState.score, 20);
    EXPECT_EQ(gameState.shotsLeft, 29);
    const std::array<double, 7> expected{0, 12, 12, 12, 12, 12, 12};
    EXPECT_EQ(gameState.row, expected) << "step 3 overwrote the copy left in slot 3";
}

TEST_F(RowAdvanceTest, ZDuringTheAdvanceIsUsedUpWithoutFiring) {
    setRow({12, 12, 12, 12, 1, 12});
    gameState.nextCode = 12;
    KeyAtStep key(0x5A, 5);
    EXPECT_FALSE(advanceRow(keys));
    EXPECT_EQ(gameState.shotsLeft, 30);
    EXPECT_TRUE(textIs(gameState.previousKey, "Z")) << "a later Z reads as a repeat";
}

TEST_F(RowAdvanceTest, XStepsTheAimAndARepeatIsIgnored) {
    gameState.nextCode = 12;
    stringAssign(gameState.previousKey, stringFromText("X"));
    KeyAtStep key(0x58, 1);
    EXPECT_FALSE(advanceRow(keys));
    EXPECT_EQ(gameState.aim, 1) << "X equal to the poll before is a repeat";
    EXPECT_TRUE(textIs(gameState.previousKey, "")) << "the empty polls after reset the guard";
}

TEST_F(RowAdvanceTest, QuotaMetDuringTheAdvanceStillFinishesIt) {
    setRow({12, 2, 12, 12, 12, 12});
    gameState.destroyed = 15;
    gameState.aim = 2;
    gameState.nextCode = 7;
    KeyAtStep key(0x45, 1);
    EXPECT_FALSE(advanceRow(keys));
    EXPECT_EQ(gameState.stageCleared, 1);
    EXPECT_EQ(gameState.row[6], 7) << "the entry still happens";
    EXPECT_EQ(gameState.countdown, 100);
}

TEST_F(RowAdvanceTest, ShotsUsedUpAbandonsTheRestOfTheAdvance) {
    setRow({12, 4, 5, 6, 7, 8});
    gameState.nextCode = 9;
    gameState.shotsLeft = 1;
    KeyAtStep key(0x45, 1);
    EXPECT_TRUE(advanceRow(keys));
    EXPECT_EQ(key.redraws(), 1u) << "nothing is printed after the shot";
    const std::array<double, 7> expected{0, 4, 4, 5, 6, 7, 8};
    EXPECT_EQ(gameState.row, expected);
    EXPECT_EQ(gameState.countdown, 0) << "the countdown is not reset";
}

} // namespace
