#include "game/play.h"
#include "runtime/random_source.h"
#include "support/game_fixture.h"

namespace {

class GenerationTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        setRow({12, 12, 12, 12, 12, 12});
        gameState.quota = 16;
        gameState.nextCode = 99;
    }
};

TEST_F(GenerationTest, OccupiedSlotOneIsAMissEvenWithTheQuotaIssued) {
    for (double occupant : {5.0, 11.0}) {
        gameState.row[1] = occupant;
        gameState.issued = 16;
        gameState.missed = 0;
        generateNext();
        EXPECT_EQ(gameState.missed, 1);
        EXPECT_EQ(gameState.nextCode, 99);
        EXPECT_EQ(gameState.issued, 16);
    }
}

TEST_F(GenerationTest, IssuedQuotaBringsEmptySlotsWhateverTheBonusSays) {
    gameState.issued = 16;
    gameState.bonusArmed = 1;
    gameState.digitSum = 20;
    generateNext();
    EXPECT_EQ(gameState.nextCode, 12);
    EXPECT_EQ(gameState.bonusArmed, 1);
}

TEST_F(GenerationTest, BonusComesOnAMultipleOfTenThenDisarms) {
    gameState.bonusArmed = 1;
    gameState.digitSum = 20;
    gameState.issued = 3;
    RandomSource::setSeed(1);
    generateNext();
    EXPECT_EQ(gameState.nextCode, 11);
    EXPECT_EQ(gameState.bonusArmed, 0);
    EXPECT_EQ(gameState.issued, 3) << "the bonus does not count as issued";
    EXPECT_EQ(RandomSource::seed, 1u) << "no draw for the bonus";

    generateNext();
    EXPECT_EQ(gameState.nextCode, 6) << "next time a digit is drawn";
    EXPECT_EQ(gameState.issued, 4);
}

TEST_F(GenerationTest, DigitFromSeedOneIsFive) {
    RandomSource::setSeed(1);
    gameState.bonusArmed = 0;
    gameState.digitSum = 0;
    generateNext();
    EXPECT_EQ(gameState.nextCode, 6) << "a = 16838, b = 5758, m = 53204: digit 5";
    EXPECT_EQ(gameState.issued, 1);
    EXPECT_EQ(RandomSource::seed, 2524885223u) << "exactly two draws";
}

TEST_F(GenerationTest, RandomFractionKeepsTheLastFiveDigitsOfTheProduct) {
    RandomSource::setSeed(1);
    EXPECT_DOUBLE_EQ(randomFraction(), 0.53204);
    EXPECT_DOUBLE_EQ(randomFraction(), (10113 * 17515 % 100000) / 100000.0);
}

} // namespace
