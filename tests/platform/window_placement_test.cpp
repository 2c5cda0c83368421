#include "platform/window_placement.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(WindowPlacement, TheClientIsTheGamesPixelsTimesTheScaleInsideTheFrameAtItsDpi) {
    // The frames are what Wine 8's AdjustWindowRectExForDpi gives for the game's style (a caption
    // and a client edge, no sizing border) at each DPI: the caption grows, the border does not.
    struct Row {
        int dpi, wantedScale;
        FrameInsets frame;
        ScreenRect workArea;
        int scale;
    };
    const ScreenRect fullHd{0, 0, 1920, 1040};
    const Row rows[] = {
        {96, 0, {5, 24, 5, 5}, fullHd, 1},
        {120, 0, {5, 29, 5, 5}, fullHd, 1},
        {144, 0, {5, 33, 5, 5}, fullHd, 2},
        {192, 0, {5, 42, 5, 5}, fullHd, 2},
        {288, 0, {5, 60, 5, 5}, fullHd, 3},
        {288, 1, {5, 60, 5, 5}, fullHd, 1},
        {288, 0, {5, 60, 5, 5}, {0, 0, 1185, 1040}, 2},
        {192, 0, {5, 42, 5, 5}, {0, 0, 794, 223}, 2},
        {192, 0, {5, 42, 5, 5}, {0, 0, 794, 222}, 1},
        {96, 8, {5, 24, 5, 5}, {1920, 0, 3840, 1040}, 4},
        {96, 0, {5, 24, 5, 5}, {0, 0, 9, 9}, 1},
    };
    for (const Row& row : rows) {
        const WindowPlacement placed =
            placeWindow({-1920, 40, 392, 88, row.wantedScale, row.dpi}, row.frame, row.workArea);
        EXPECT_EQ(placed.scale, row.scale) << row.dpi << " dpi, wanted " << row.wantedScale;
        EXPECT_TRUE(placed.outer.left == -1920 && placed.outer.top == 40) << "the corner stays";
        EXPECT_EQ(placed.outer.right - placed.outer.left - row.frame.left - row.frame.right,
                  392 * placed.scale);
        EXPECT_EQ(placed.outer.bottom - placed.outer.top - row.frame.top - row.frame.bottom,
                  88 * placed.scale);
    }
}

TEST(WindowPlacement, ADpiChangeKeepsTheSuggestedCentreOnTheMonitorTheSystemChose) {
    struct Row {
        int width, height;
        ScreenRect suggested, workArea;
        int left, top;
    };
    const ScreenRect right{1920, 0, 3840, 1040};
    const Row rows[] = {
        // 144 to 96 dpi: at the suggested corner, the halved window would be on the left monitor.
        {402, 117, {1700, 300, 2494, 523}, right, 1920, 353},
        {794, 223, {3500, 950, 3902, 1067}, right, 3046, 817},
        {2000, 1100, {100, 100, 500, 200}, {0, 0, 1920, 1040}, 0, 0},
    };
    for (const Row& row : rows) {
        const ScreenRect placed =
            centredOn({5, 5, 5 + row.width, 5 + row.height}, row.suggested, row.workArea);
        EXPECT_EQ(placed.left, row.left) << row.suggested.left;
        EXPECT_EQ(placed.top, row.top) << row.suggested.left;
        EXPECT_TRUE(placed.right - placed.left == row.width &&
                    placed.bottom - placed.top == row.height);
    }
}

} // namespace
