// clock.h - where the program reads local wall time, replaceable by tests
#pragma once

#include <cstdint>
#include <ctime>

#include "timevalue.h"

namespace aramu {

// A local wall-clock reading in whole seconds.
struct LocalDateTime {
    std::int64_t day = 0;     // day count of the local calendar date
    std::int32_t seconds = 0; // local time of day, 0 .. 86399

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

// Local wall time of an instant under the process's time zone (TZ), fractions dropped.
LocalDateTime LocalFromInstant(std::time_t instant);

class SystemClock final : public Clock {
public:
    LocalDateTime Now() const override;
};

// A clock that stands still until a test sets or advances it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(LocalDateTime start = {}) : now_(start) {}
    LocalDateTime Now() const override { return now_; }
    void Set(LocalDateTime now) { now_ = now; }
    void Set(const CivilDate& date, int hour, int minute, int second);
    void AdvanceSeconds(std::int64_t seconds);

private:
    LocalDateTime now_;
};

// The clock that ReadDate and ReadTimeOfDay use: the system clock unless one is installed.
const Clock& CurrentClock();
// Installs a clock for the whole program (nullptr goes back to the system clock). The caller
// keeps it alive while installed.
void InstallClock(const Clock* clock);

} // namespace aramu
