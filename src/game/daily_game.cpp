#include "game/daily_game.h"

#include <cstdio>

std::optional<std::chrono::year_month_day> parseCalendarDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    int fields[3] = {0, 0, 0};
    int field = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 4 || i == 7) {
            ++field;
        } else if (text[i] >= '0' && text[i] <= '9') {
            fields[field] = fields[field] * 10 + (text[i] - '0');
        } else {
            return std::nullopt;
        }
    }
    const std::chrono::year_month_day date{std::chrono::year(fields[0]),
                                           std::chrono::month(static_cast<unsigned>(fields[1])),
                                           std::chrono::day(static_cast<unsigned>(fields[2]))};
    if (!date.ok()) {
        return std::nullopt;
    }
    return date;
}

std::string calendarDateText(std::chrono::year_month_day date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::uint32_t dailySeed(std::chrono::year_month_day date) {
    const auto dayNumber = std::chrono::sys_days(date).time_since_epoch().count();
    std::uint32_t x = static_cast<std::uint32_t>(dayNumber) * 0x9E3779B9u;
    x ^= x >> 16;
    x *= 0x85EBCA6Bu;
    x ^= x >> 13;
    x *= 0xC2B2AE35u;
    x ^= x >> 16;
    return x;
}

std::chrono::year_month_day utcDate(std::chrono::system_clock::time_point moment) {
    return std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(moment));
}
