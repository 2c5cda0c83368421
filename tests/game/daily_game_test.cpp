// Today's game: the documented rule, pinned by seeds worked out apart from the code.
#include "game/daily_game.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;

TEST(DailyGame, EachDayHasTheSeedOfTheRule) {
    const struct {
        const char* date;
        std::uint32_t seed;
    } rows[] = {
        {"1970-01-01", 0u},          {"1969-12-31", 918526378u}, {"2026-01-01", 1679447381u},
        {"2026-12-08", 3674429177u}, {"2026-12-31", 514472519u}, {"2028-02-29", 3538663772u},
        {"9999-12-31", 3857694420u},
    };
    for (const auto& row : rows) {
        const auto date = parseCalendarDate(row.date);
        ASSERT_TRUE(date) << row.date;
        EXPECT_EQ(dailySeed(*date), row.seed) << row.date;
        EXPECT_EQ(calendarDateText(*date), row.date);
    }
}

TEST(DailyGame, OnlyRealDaysWrittenInFullAreDates) {
    for (const char* text :
         {"2026-02-29", "2028-02-30", "2026-13-01", "2026-00-10", "2026-1-01", "2026-01-1",
          "2026/01/01", "+026-01-01", " 2026-01-01", "2026-01-01 ", ""}) {
        EXPECT_FALSE(parseCalendarDate(text)) << '"' << text << '"';
    }
}

TEST(DailyGame, TheUtcDateTurnsAtUtcMidnight) {
    const auto midnight = sys_days(year(2028) / February / 29);
    EXPECT_EQ(calendarDateText(utcDate(midnight - seconds(1))), "2028-02-28");
    EXPECT_EQ(calendarDateText(utcDate(midnight)), "2028-02-29");
    EXPECT_EQ(calendarDateText(utcDate(midnight + hours(24) - seconds(1))), "2028-02-29");
}

} // namespace
