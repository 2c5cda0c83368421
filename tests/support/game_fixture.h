// A fresh game as start-up leaves it, with the row recorded, for tests of the routines of play.
#pragma once

#include "game/game_keys.h"
#include "game/game_state.h"
#include "lcd/lcd_row.h"
#include "prompt/prompt_window.h"
#include "support/recording_display.h"

#include <gtest/gtest.h>

#include <string>

class GameFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        runtimeInit();
        gameState = GameState{};
        LcdRow::cells.fill(0);
        promptWindow.lastKey = 0;
        createGameTexts();
        fillGameTables();
    }
    void TearDown() override { runtimeInit(); }

    // Slots 1..6 from a compact list of codes.
    static void setRow(std::initializer_list<double> codes) {
        int slot = 1;
        for (double code : codes) {
            gameState.row[slot++] = code;
        }
    }

    // The display as text, '_' for an empty cell and '~' for the bonus symbol.
    static std::string shown() {
        std::string text;
        for (std::int16_t code : LcdRow::cells) {
            text += code == 0 ? '_' : code == 0xA6 ? '~' : static_cast<char>(code);
        }
        return text;
    }

    RecordingDisplay display;
    GameKeys keys;
};
