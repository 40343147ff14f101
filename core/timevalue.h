// timevalue.h - moments as a day count after 1899-12-30 plus whole seconds of the day
#pragma once

#include <compare>
#include <cstdint>

namespace aramu {

inline constexpr std::int64_t SecondsPerDay = 24 * 3600;

struct TimeValue {
    std::int64_t day = 0;     // whole days after the base day 1899-12-30, may be negative
    std::int32_t seconds = 0; // time of day, 0 .. 86399

    friend constexpr bool operator==(const TimeValue&, const TimeValue&) = default;
    friend constexpr auto operator<=>(const TimeValue&, const TimeValue&) = default;
};

struct CivilDate {
    std::int64_t year = 1899;
    int month = 12; // 1 .. 12
    int day = 30;   // 1 .. 31
};

// Proleptic Gregorian calendar both ways, so any day count has a date and back.
std::int64_t DayCountFromCivil(const CivilDate& date);
CivilDate CivilFromDayCount(std::int64_t dayCount);

// Splits a signed total of seconds into whole days (rounded towards minus infinity) and the rest.
TimeValue TimeValueFromSeconds(std::int64_t totalSeconds);

} // namespace aramu
