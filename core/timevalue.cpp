#include "timevalue.h"

namespace aramu {
namespace {

// 1899-12-30 counted from 1970-01-01 by the same civil algorithm.
constexpr std::int64_t BaseDayFromUnixEpoch = -25569;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

// Howard Hinnant's days_from_civil, relative to 1970-01-01.
std::int64_t DayCountFromCivil(const CivilDate& date) {
    const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (date.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 - BaseDayFromUnixEpoch;
}

CivilDate CivilFromDayCount(std::int64_t dayCount) {
    const std::int64_t z = dayCount + BaseDayFromUnixEpoch + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return CivilDate{yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

TimeValue TimeValueFromSeconds(std::int64_t totalSeconds) {
    const std::int64_t day = FloorDiv(totalSeconds, SecondsPerDay);
    return TimeValue{day, static_cast<std::int32_t>(totalSeconds - day * SecondsPerDay)};
}

} // namespace aramu
