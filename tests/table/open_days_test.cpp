// Which days' boards are open at fixed instants, around a day's turn, a year's end and a leap day.
#include "table/open_days.h"

#include "game/daily_game.h"

#include <gtest/gtest.h>

namespace table {
namespace {

std::chrono::system_clock::time_point at(const char* date, int hour, int minute, int second) {
    return std::chrono::sys_days(*parseCalendarDate(date)) + std::chrono::hours(hour) +
           std::chrono::minutes(minute) + std::chrono::seconds(second);
}

TEST(OpenDays, EachDayFromTheDayBefore10UtcUntilTheDayAfter12Utc) {
    struct Row {
        std::chrono::system_clock::time_point now;
        std::vector<std::string> open;
    };
    const Row rows[] = {
        {at("2026-12-08", 0, 0, 0), {"2026-12-07", "2026-12-08"}},
        {at("2026-12-08", 9, 59, 59), {"2026-12-07", "2026-12-08"}},
        {at("2026-12-08", 10, 0, 0), {"2026-12-07", "2026-12-08", "2026-12-09"}},
        {at("2026-12-08", 11, 59, 59), {"2026-12-07", "2026-12-08", "2026-12-09"}},
        {at("2026-12-08", 12, 0, 0), {"2026-12-08", "2026-12-09"}},
        {at("2026-12-31", 23, 59, 59), {"2026-12-31", "2027-01-01"}},
        {at("2027-01-01", 11, 0, 0), {"2026-12-31", "2027-01-01", "2027-01-02"}},
        {at("2028-02-28", 10, 30, 0), {"2028-02-27", "2028-02-28", "2028-02-29"}},
        {at("2028-02-29", 12, 0, 0), {"2028-02-29", "2028-03-01"}},
        {at("2028-03-01", 11, 0, 0), {"2028-02-29", "2028-03-01", "2028-03-02"}},
        {at("2027-02-28", 10, 0, 0), {"2027-02-27", "2027-02-28", "2027-03-01"}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> open;
        for (const std::chrono::year_month_day day : openDays(row.now)) {
            open.push_back(calendarDateText(day));
        }
        EXPECT_EQ(open, row.open) << row.now.time_since_epoch().count();
    }
}

TEST(OpenDays, AGameIsOnTheBoardOfTheOpenDayWhoseSeedItPlays) {
    const auto now = at("2026-12-08", 10, 0, 0);
    for (const char* date : {"2026-12-07", "2026-12-08", "2026-12-09"}) {
        const std::optional<std::chrono::year_month_day> day =
            dayOfSeed(dailySeed(*parseCalendarDate(date)), now);
        ASSERT_TRUE(day) << date;
        EXPECT_EQ(calendarDateText(*day), date);
    }
    EXPECT_FALSE(dayOfSeed(dailySeed(*parseCalendarDate("2026-12-06")), now));
    EXPECT_FALSE(
        dayOfSeed(dailySeed(*parseCalendarDate("2026-12-07")), at("2026-12-08", 12, 0, 0)));
}

} // namespace
} // namespace table
