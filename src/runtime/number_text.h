// Decimal text of the game's 64-bit float numbers, and the float-to-integer floor.
// Game thread only: the digits go through one shared buffer.
#pragma once

#include "runtime/rt_string.h"

#include <cstdint>

// 15 significant digits, rounded half up on the 16th, worked out by repeated ×10 and ÷10 in
// double precision so that the last digit matches the game's own arithmetic. Plain notation for
// decimal exponents −3..15, scientific outside. Infinities and NaN give "inf", "-inf", "nan".
RtString numberToText(double value);

// Writes n (1..15) digit characters and a zero byte to the shared digit buffer and returns it;
// the number reads 0.d1d2…dn × 10^exponent.
const char* decimalDigits(double value, int n, int& exponent, bool& negative);

// Rounds toward minus infinity. Values beyond the 32-bit range saturate; NaN gives 0.
std::int32_t floorToInt(double value);
