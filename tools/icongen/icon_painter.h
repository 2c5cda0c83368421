// The desktop icon at each size a desktop asks for. At 16 and 32 pixels it is the window's own
// icon; larger ones draw the same calculator face afresh for their size, so that every edge and
// every dot of the LCD digit falls on whole pixels instead of being one picture stretched.
// Pure functions, any thread.
#pragma once

#include "platform/bitmap.h"

#include <array>

namespace icongen {

inline constexpr std::array kDesktopIconSizes = {16, 32, 48, 64, 128, 192, 256, 512};

// A size × size picture; empty for a size under 16.
platform::Bitmap paintDesktopIcon(int size);

// The icon for a system that cuts its own shape out of it (a phone's home screen): the desktop
// icon at 9/16 of the size, the case's outline colour around it, so that the whole icon lies
// within the middle circle of 80 % of the size that every such shape keeps. Empty when the
// desktop icon would be under 16.
platform::Bitmap paintMaskableIcon(int size);

} // namespace icongen
