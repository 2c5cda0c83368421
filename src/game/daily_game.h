// Today's game: one seed a day, the same for every player, from the date alone.
//
// The rule: a day's number is its count of days from 1970-01-01 (the proleptic Gregorian
// calendar, 1970-01-01 being 0, earlier days negative); its seed is the 32-bit mix below of that
// number times 0x9E3779B9, modulo 2^32. The mix (murmur3's finaliser: x ^= x >> 16;
// x *= 0x85EBCA6B; x ^= x >> 13; x *= 0xC2B2AE35; x ^= x >> 16) and the odd multiplier are both
// one-to-one, so no two days within 2^32 of each other share a seed, and neighbouring days' seeds
// look nothing alike.
//
// Nothing here reads a clock: the caller says which day it is (the UTC date, for everyone alike).
// Pure functions, any thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// "YYYY-MM-DD", a day that exists in years 0000-9999; anything else is std::nullopt.
std::optional<std::chrono::year_month_day> parseCalendarDate(std::string_view text);

// The date as "YYYY-MM-DD".
std::string calendarDateText(std::chrono::year_month_day date);

std::uint32_t dailySeed(std::chrono::year_month_day date);

// The UTC date at `moment`.
std::chrono::year_month_day utcDate(std::chrono::system_clock::time_point moment);
