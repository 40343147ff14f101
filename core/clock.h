// clock.h - where the program reads the time, replaceable by tests
#pragma once

#include <QDate>
#include <QTime>

namespace aramu {

// One reading of the clock. Everything a tick shows and decides comes from a single reading, so
// the date, the time and the alarm can never disagree across a second or midnight.
struct ClockReading {
    QDate date; // local calendar date
    QTime time; // local time of day in whole seconds, fractions dropped
    // Seconds on a clock that never steps and keeps counting while the machine sleeps: it tells
    // a wall-clock jump (no real time passed) from a real absence.
    qint64 realSeconds = 0;
    // The same, but standing still while the machine sleeps: what it lags behind realSeconds by is
    // the time slept, which tells a night's sleep from a program that stood still.
    qint64 awakeSeconds = 0;

    qint64 WallSeconds() const { return date.toJulianDay() * 86400 + time.msecsSinceStartOfDay() / 1000; }
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual ClockReading Now() const = 0;
};

// The local wall time of an instant under the current time zone, read afresh on every call so
// that a changed zone shows at once.
ClockReading LocalReading(qint64 secondsSinceEpoch, qint64 realSeconds, qint64 awakeSeconds);

class SystemClock final : public Clock {
public:
    ClockReading Now() const override;
};

} // namespace aramu
