// Today's game: the documented rule, pinned by seeds worked out apart from the code.
#include "game/daily_game.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(DailyGame, EachDayHasTheSeedOfTheRuleAndOnlyRealDaysWrittenInFullAreDates) {
    const std::pair<const char*, std::uint32_t> rows[] = {
        {"1970-01-01", 0u},          {"1969-12-31", 918526378u}, {"2026-01-01", 1679447381u},
        {"2026-12-08", 3674429177u}, {"2026-12-31", 514472519u}, {"2028-02-29", 3538663772u},
        {"9999-12-31", 3857694420u},
    };
    for (const auto& [text, seed] : rows) {
        const auto date = parseCalendarDate(text);
        ASSERT_TRUE(date) << text;
        EXPECT_EQ(dailySeed(*date), seed) << text;
        EXPECT_EQ(calendarDateText(*date), text);
    }
    for (const char* text : {"2026-02-29", "2028-02-30", "2026-13-01", "2026-00-10", "2026-1-01",
                             "2026/01/01", "+026-01-01", " 2026-01-01", ""}) {
        EXPECT_FALSE(parseCalendarDate(text)) << '"' << text << '"';
    }
}

} // namespace
