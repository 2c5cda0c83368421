#include "lcd/glyph_set.h"
#include "lcd/lcd_row.h"
#include "support/recording_display.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string shown() {
    std::string text;
    for (std::int16_t code : LcdRow::cells) {
        text += code == 0 ? '_' : static_cast<char>(code);
    }
    return text;
}

class LcdRowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        runtimeInit();
        LcdRow::cells.fill(0);
        GlyphSet::glyphLoaded.fill(0);
    }
    void TearDown() override { GlyphSet::glyphLoaded.fill(0); }
    RecordingDisplay display;
};

TEST_F(LcdRowTest, PrintStoresOneByteACellAndRedrawsOnce) {
    LcdRow::printAt(0, stringFromText("STAGE CLEAR       "));
    EXPECT_EQ(shown(), "STAGE CLEAR ");
    LcdRow::printAt(2, stringFromText("7"));
    EXPECT_EQ(shown(), "ST7GE CLEAR ");
    LcdRow::printAt(5, stringFromByte(0xA6));
    EXPECT_EQ(LcdRow::cells[5], 0xA6) << "bytes above 127 are codes, not negative numbers";
    EXPECT_EQ(display.rows.size(), 3u);
    EXPECT_EQ(display.cells.size(), 36u);
    EXPECT_EQ(stringCount(), 0) << "the printed text is released";
}

TEST_F(LcdRowTest, EmptyTextChangesAndDrawsNothing) {
    LcdRow::printAt(0, stringAlloc(0));
    EXPECT_TRUE(display.cells.empty());
    EXPECT_EQ(stringCount(), 0);
}

TEST_F(LcdRowTest, CellsOutsideTheRowAreDropped) {
    LcdRow::printAt(10, stringFromText("ABCD"));
    EXPECT_EQ(shown(), "__________AB");
    LcdRow::printAt(-2, stringFromText("xyz"));
    EXPECT_EQ(shown(), "z_________AB");
    LcdRow::printAt(400, stringFromText("Q"));
    EXPECT_EQ(shown(), "z_________AB");
    EXPECT_EQ(stringCount(), 0);
}

TEST_F(LcdRowTest, RedrawDrawsEachCellWithItsGlyphOrTheBlankOne) {
    GlyphSet::glyphLoaded[0] = 1; // the backdrop is never a glyph
    GlyphSet::glyphLoaded[0xA6] = 1;
    GlyphSet::glyphLoaded['P'] = 1;
    LcdRow::printAt(0, stringFromText("PU"));
    LcdRow::printAt(11, stringFromByte(0xA6));
    ASSERT_EQ(display.cells.size(), 24u);
    const std::vector<DrawnCell> last(display.cells.begin() + 12, display.cells.end());
    EXPECT_EQ(last[0], (DrawnCell{'P', 8, 40}));
    EXPECT_EQ(last[1], (DrawnCell{32, 40, 40})) << "U has no picture";
    EXPECT_EQ(last[2], (DrawnCell{32, 72, 40})) << "code 0 is drawn blank";
    EXPECT_EQ(last[11], (DrawnCell{0xA6, 360, 40}));
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(last[i].x, 8 + 32 * i) << "cell 0 first, cell 11 last";
    }
}

TEST_F(LcdRowTest, ClearEmptiesEveryCellAndDrawsThemBlank) {
    GlyphSet::glyphLoaded[32] = 1;
    LcdRow::printAt(0, stringFromText("GAME OVER"));
    display.cells.clear();
    LcdRow::clear();
    EXPECT_EQ(shown(), "____________");
    ASSERT_EQ(display.cells.size(), 12u);
    for (const DrawnCell& cell : display.cells) {
        EXPECT_EQ(cell.record, 32);
    }
}

} // namespace
