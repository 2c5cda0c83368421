#include "table/open_days.h"

#include "game/daily_game.h"

namespace table {

std::vector<std::chrono::year_month_day> openDays(std::chrono::system_clock::time_point now) {
    using namespace std::chrono;
    const sys_days today = floor<days>(now);
    std::vector<year_month_day> open;
    for (const sys_days day : {today - days(1), today, today + days(1)}) {
        if (now >= day - hours(14) && now < day + days(1) + hours(12)) {
            open.emplace_back(day);
        }
    }
    return open;
}

std::optional<std::chrono::year_month_day> dayOfSeed(std::uint32_t seed,
                                                     std::chrono::system_clock::time_point now) {
    for (const std::chrono::year_month_day day : openDays(now)) {
        if (dailySeed(day) == seed) {
            return day;
        }
    }
    return std::nullopt;
}

} // namespace table
