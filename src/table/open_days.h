// Which days' boards take games now. Day D's board opens at D-1 10:00 UTC, when D begins at
// UTC+14, and closes at D+1 12:00 UTC, when it ends at UTC-12: a player anywhere has the whole of
// their own D to play D's game and send it. Nothing here reads a clock. Pure functions, any thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace table {

// Oldest first: two days, three from 10:00 to 12:00 UTC.
std::vector<std::chrono::year_month_day> openDays(std::chrono::system_clock::time_point now);

// The open day whose game is played from `seed`, if any: the board a game sent now is filed on.
std::optional<std::chrono::year_month_day> dayOfSeed(std::uint32_t seed,
                                                     std::chrono::system_clock::time_point now);

} // namespace table
