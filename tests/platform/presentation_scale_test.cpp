#include "platform/presentation_scale.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

namespace {

using namespace platform;

TEST(PresentationScale, ReadsTheDesktopsScale) {
    EXPECT_EQ(parseScale("3"), 3);
    for (const char* bad : {"0", "9", "-1", "2x", "", " 2", "99999999999"}) {
        EXPECT_EQ(parseScale(bad), 0) << bad;
    }
    EXPECT_EQ(parseScale(nullptr), 0);

    EXPECT_EQ(xftDpiOf("Xcursor.size:\t24\nXft.dpi:\t192\n"), 192);
    EXPECT_EQ(xftDpiOf("Xft.dpi: 144.0"), 144);
    EXPECT_EQ(xftDpiOf("Xft.dpi:\t192 \r\nXft.hinting:\t1\r\n"), 192) << "trailing blanks, CR";
    EXPECT_EQ(xftDpiOf("Xft.dpi: \r\n"), 0);
    EXPECT_EQ(xftDpiOf("Xft.dpix:\t192\nXft.antialias:\t1\n"), 0);
    EXPECT_EQ(xftDpiOf("Xft.dpi:\tlarge\n"), 0);
    EXPECT_EQ(xftDpiOf(nullptr), 0);

    EXPECT_EQ(desktopScale("2", 288), 2) << "GDK_SCALE wins";
    EXPECT_EQ(desktopScale("0", 288), 3) << "a GDK_SCALE that is no scale is passed over";
    EXPECT_EQ(desktopScale(nullptr, 192), 2);
    EXPECT_EQ(desktopScale(nullptr, 143), 1) << "rounded to the nearest multiple of 96";
    EXPECT_EQ(desktopScale(nullptr, 144), 2);
    EXPECT_EQ(desktopScale(nullptr, 0), 1) << "unknown";
    EXPECT_EQ(desktopScale(nullptr, 96 * 40), kMaxScale);
    EXPECT_EQ(desktopScale(nullptr, 2147483647), kMaxScale) << "no overflow";
}

TEST(PresentationScale, RoundsTheDpiToTheNearestScale) {
    const std::pair<int, int> dpiAndScale[] = {{96, 1},  {120, 1}, {143, 1}, {144, 2},
                                               {168, 2}, {192, 2}, {216, 2}, {240, 3},
                                               {288, 3}, {0, 1},   {-96, 1}, {INT_MAX, kMaxScale}};
    for (const auto& [dpi, scale] : dpiAndScale) {
        EXPECT_EQ(scaleForDpi(dpi), scale) << dpi;
    }
}

TEST(PresentationScale, NeverLargerThanFitsTheScreen) {
    EXPECT_EQ(fittingScale(2, 392, 88, 1024, 768), 2);
    EXPECT_EQ(fittingScale(3, 392, 88, 1024, 768), 2) << "3 x 392 plus the frame is 1186";
    EXPECT_EQ(fittingScale(2, 392, 88, 793, 1000), 1) << "784 plus a 10-pixel frame";
    EXPECT_EQ(fittingScale(2, 392, 88, 794, 205), 2);
    EXPECT_EQ(fittingScale(4, 392, 88, 320, 200), 1) << "at least 1";

    // --scale, the variable and the desktop's scale alike; only a scale asked for is said.
    ScaleRequest asked{8};
    ScaleRequest none;
    testing::internal::CaptureStderr();
    EXPECT_EQ(windowScale(asked, 1, 392, 88, 1024, 768), 2);
    EXPECT_EQ(windowScale(asked, 1, 392, 88, 1280, 1024), 3);
    EXPECT_EQ(windowScale(none, 3, 392, 88, 1024, 768), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kestrilon: scale 8 does not fit the 1024 x 768 screen; the window is shown at the "
              "largest scale that fits\n");
}

} // namespace
