// Heap strings and the registry of live strings.
//
// An RtString points at the first text byte of a heap block laid out as: a 32-bit length, the
// bytes, a terminating zero. Every live string is registered; operations consume their string
// arguments (release them before returning) and hand back a new string the caller owns.
// Releasing something that is not a live string is reported on the debug channel instead of
// corrupting the heap. Any thread may call these; the registry has its own lock.
#pragma once

#include <cstdint>
#include <vector>

using RtString = char*;

// Sets up the registry (empty) and seeds the random generator with 1. Call before any string
// exists and before a second thread starts. A later call gives back every string still live.
void runtimeInit();

RtString stringAlloc(std::int32_t length); // zero-filled; a negative length gives ""
void stringRelease(RtString s);
RtString stringFromText(const char* text); // copies up to the first zero byte
RtString stringCopy(RtString s);           // does not consume s
std::int32_t stringLength(RtString s);     // does not consume s
RtString stringConcat(RtString left, RtString right);
// 1 = left sorts first, 2 = equal, 3 = left sorts last; compares all bytes, zeros included.
int stringCompare(RtString left, RtString right);
// The count bytes from 1-based start; count 0 means "to the end". Negative counts give "".
RtString stringMid(RtString s, std::int32_t start, std::int32_t count);
RtString stringFromByte(std::uint8_t code);
int stringFirstByte(RtString s);

// Assigns to a string variable: releases the old value and keeps the new one.
void stringAssign(RtString& variable, RtString value);

// Takes the latest key-down from the window's key latch as a one-character string ("" when
// none) and clears the latch in the same step, so a key arriving meanwhile is not lost.
RtString readLastKey();
// Returns once the key latch holds a key, instead of polling it every pollMs; on a clock of the
// tests it returns after pollMs whether or not (see platform::sleepUntilChanged).
void waitForKey(std::uint32_t pollMs);

// Live strings right now: the game keeps this flat, which the tests watch.
std::int32_t stringCount();
// The live strings in creation order, for diagnostics.
std::vector<RtString> liveStrings();
