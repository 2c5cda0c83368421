#include "support/game_fixture.h"

namespace {

using GameStateTest = GameFixture;

TEST_F(GameStateTest, TablesHoldOneByteCharactersAndEmptyZerothEntries) {
    auto text = [](RtString s) { return std::string(s, static_cast<std::size_t>(stringLength(s))); };
    EXPECT_EQ(text(gameState.glyphChar[0]), "");
    EXPECT_EQ(text(gameState.glyphChar[1]), "0");
    EXPECT_EQ(text(gameState.glyphChar[10]), "9");
    EXPECT_EQ(text(gameState.glyphChar[11]), "\xA6");
    EXPECT_EQ(text(gameState.glyphChar[12]), " ");
    EXPECT_EQ(text(gameState.livesMark[0]), "");
    EXPECT_EQ(text(gameState.livesMark[1]), "-");
    EXPECT_EQ(text(gameState.livesMark[2]), "=");
    EXPECT_EQ(text(gameState.livesMark[3]), "*");
    EXPECT_EQ(gameState.bonusCode, 11);
    EXPECT_EQ(gameState.blankCode, 12);
    EXPECT_EQ(toInt(10.9), 10) << "indices truncate";
    EXPECT_EQ(stringCount(), 21) << "4 variables, 4 lives marks, 13 glyph characters";
}

} // namespace
