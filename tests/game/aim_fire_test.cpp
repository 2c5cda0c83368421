#include "game/play.h"
#include "support/game_fixture.h"

namespace {

using AimFireTest = GameFixture;

TEST_F(AimFireTest, AimCyclesThroughTheDigitsAndTheBonusSymbol) {
    gameState.aim = 10;
    stepAim();
    EXPECT_EQ(gameState.aim, 11);
    EXPECT_EQ(LcdRow::cells[0], 0xA6);
    stepAim();
    EXPECT_EQ(gameState.aim, 1);
    EXPECT_EQ(LcdRow::cells[0], '0');
    LcdRow::cells[1] = '*';
    stepAim();
    EXPECT_EQ(shown(), "1*__________") << "the lives mark is not touched";
}

TEST_F(AimFireTest, NearestMatchIsHitScoredAndTheGapClosed) {
    setRow({12, 3, 4, 6, 4, 2});
    gameState.aim = 4;
    gameState.shotsLeft = 30;
    gameState.quota = 16;
    LcdRow::printAt(2, stringFromText(" 2365"));
    display.rows.clear();

    EXPECT_FALSE(fireShot());
    EXPECT_EQ(gameState.hitSlot, 3);
    EXPECT_EQ(gameState.score, 30);
    EXPECT_EQ(gameState.digitSum, 3);
    EXPECT_EQ(gameState.destroyed, 1);
    EXPECT_EQ(gameState.bonusArmed, 1);
    EXPECT_EQ(gameState.shotsLeft, 29);
    const std::array<double, 7> expected{0, 12, 12, 3, 6, 4, 2};
    EXPECT_EQ(gameState.row, expected) << "the second 4, in slot 5, is untouched";
    ASSERT_EQ(display.rows.size(), 3u) << "a hit in slot 3 makes three redraws";
    EXPECT_EQ(display.rows[0][4], '2');
    EXPECT_EQ(display.rows[1][3], ' ');
    EXPECT_EQ(display.rows[2][2], ' ');
}

TEST_F(AimFireTest, HitInSlotOneOnlyEmptiesIt) {
    setRow({5, 6, 12, 12, 12, 12});
    gameState.aim = 5;
    gameState.shotsLeft = 30;
    gameState.quota = 16;
    EXPECT_FALSE(fireShot());
    EXPECT_EQ(gameState.score, 10);
    EXPECT_EQ(gameState.row[1], 12);
    EXPECT_EQ(gameState.row[2], 6);
    EXPECT_EQ(display.rows.size(), 1u);
    EXPECT_EQ(LcdRow::cells[2], ' ');
}

TEST_F(AimFireTest, BonusHitScoresThreeHundredAndCountsNothingElse) {
    setRow({2, 3, 4, 5, 11, 12});
    gameState.aim = 11;
    gameState.shotsLeft = 30;
    gameState.quota = 16;
    gameState.digitSum = 7;
    gameState.destroyed = 4;
    EXPECT_FALSE(fireShot());
    EXPECT_EQ(gameState.score, 300);
    EXPECT_EQ(gameState.destroyed, 4);
    EXPECT_EQ(gameState.digitSum, 7);
    EXPECT_EQ(gameState.bonusArmed, 0);
    const std::array<double, 7> expected{0, 12, 2, 3, 4, 5, 12};
    EXPECT_EQ(gameState.row, expected);
}

TEST_F(AimFireTest, QuotaHitRaisesTheFlagAndLeavesTheRowAlone) {
    setRow({12, 12, 8, 12, 12, 12});
    gameState.aim = 8;
    gameState.shotsLeft = 30;
    gameState.quota = 16;
    gameState.destroyed = 15;
    EXPECT_FALSE(fireShot());
    EXPECT_EQ(gameState.stageCleared, 1);
    EXPECT_EQ(gameState.row[3], 8);
    EXPECT_TRUE(display.rows.empty());
}

TEST_F(AimFireTest, WastedShotsAndTheThirtiethPress) {
    setRow({12, 12, 3, 12, 12, 12});
    gameState.quota = 16;
    gameState.aim = 11;
    gameState.shotsLeft = 30;
    EXPECT_FALSE(fireShot()) << "no bonus invader: wasted";
    EXPECT_EQ(gameState.shotsLeft, 29);
    EXPECT_EQ(gameState.score, 0);

    gameState.aim = 3;
    gameState.shotsLeft = 1;
    EXPECT_TRUE(fireShot()) << "the last shot ends the game without searching";
    EXPECT_EQ(gameState.row[3], 3);
    EXPECT_EQ(gameState.score, 0);
    EXPECT_EQ(gameState.shotsLeft, 0);
}

} // namespace
