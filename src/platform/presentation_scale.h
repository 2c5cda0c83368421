// The whole number by which the window is shown larger than the 392 x 88 pixels the game draws,
// so that the LCD keeps its crisp edges on a high-density desktop.
//
// Functions over what the desktop tells; the window hosts apply the result to their presents
// only: the game, the back buffer and the image records stay in logical pixels.
#pragma once

namespace platform {

inline constexpr int kMaxScale = 8;

// "N" for a whole number 1..kMaxScale, else 0.
int parseScale(const char* text);

// The scale of a display at `dpi` dots per inch: dpi / 96 rounded to the nearest whole number
// (120 gives 1, 144 and 168 give 2, 240 gives 3), 1 to kMaxScale.
int scaleForDpi(int dpi);

// The Xft.dpi value of an X resource database string ("Xft.dpi:\t192\n..."); 0 when absent.
int xftDpiOf(const char* resources);

// The desktop's scale: GDK_SCALE when it is a whole number 1..kMaxScale, else Xft.dpi rounded to
// the nearest multiple of 96, else 1.
int desktopScale(const char* gdkScale, int xftDpi);

// The largest scale no larger than `wanted` at which a client of width x height and its frame
// still fit the screen; at least 1.
int fittingScale(int wanted, int width, int height, int screenWidth, int screenHeight);

// A scale the user asked for (--scale or KESTRILON_SCALE; 0 for none), and whether its lowering
// has been said.
struct ScaleRequest {
    int requested = 0;
    bool loweringSaid = false;
};

// The first time a scale asked for is lowered to `shown`, one line on stderr says so, naming
// the screen (or work area) it had to fit. Window thread only.
void sayWhenLowered(ScaleRequest& request, int shown, int screenWidth, int screenHeight);

// The scale every window host shows a client of width x height at, one rule on every system:
// the scale asked for, else the desktop's, as large as fits the screen (fittingScale). The first
// time a scale asked for is lowered, one line on stderr says so. Window thread only.
int windowScale(ScaleRequest& request, int desktop, int width, int height, int screenWidth,
                int screenHeight);

} // namespace platform
