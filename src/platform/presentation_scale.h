// The whole number by which the window is shown larger than the 392 x 88 pixels the game draws,
// so that the LCD keeps its crisp edges on a high-density desktop.
//
// Pure functions over what the desktop tells; the SDL window host applies the result to its
// presents only: the game, the back buffer and the image records stay in logical pixels.
#pragma once

namespace platform {

inline constexpr int kMaxScale = 8;

// "N" for a whole number 1..kMaxScale, else 0.
int parseScale(const char* text);

// The Xft.dpi value of an X resource database string ("Xft.dpi:\t192\n..."); 0 when absent.
int xftDpiOf(const char* resources);

// The desktop's scale: GDK_SCALE when it is a whole number 1..kMaxScale, else Xft.dpi rounded to
// the nearest multiple of 96, else 1.
int desktopScale(const char* gdkScale, int xftDpi);

// The largest scale no larger than `wanted` at which a client of width x height and its frame
// still fit the screen; at least 1.
int fittingScale(int wanted, int width, int height, int screenWidth, int screenHeight);

} // namespace platform
