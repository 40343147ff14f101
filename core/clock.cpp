#include "clock.h"

#include <chrono>

namespace aramu {
namespace {

const Clock* installedClock = nullptr;

} // namespace

LocalDateTime LocalFromInstant(std::time_t instant) {
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &instant);
#else
    localtime_r(&instant, &local);
#endif
    const std::int64_t day = DayCountFromCivil(CivilDate{local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday});
    // A leap second (tm_sec 60) still belongs to the same minute.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return LocalDateTime{day, local.tm_hour * 3600 + local.tm_min * 60 + second};
}

LocalDateTime SystemClock::Now() const {
    // time_t counts whole seconds, so the fraction is dropped rather than rounded.
    return LocalFromInstant(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
}

void FakeClock::Set(const CivilDate& date, int hour, int minute, int second) {
    now_ = LocalDateTime{DayCountFromCivil(date), hour * 3600 + minute * 60 + second};
}

void FakeClock::AdvanceSeconds(std::int64_t seconds) {
    const TimeValue t = TimeValueFromSeconds(now_.day * SecondsPerDay + now_.seconds + seconds);
    now_ = LocalDateTime{t.day, t.seconds};
}

const Clock& CurrentClock() {
    static const SystemClock system;
    return installedClock != nullptr ? *installedClock : system;
}

void InstallClock(const Clock* clock) {
    installedClock = clock;
}

} // namespace aramu
