#include "ringdecision.h"

#include <utility>

namespace aramu {
namespace {

constexpr qint64 Minute = 60;

} // namespace

bool RingDecision::RingNow(const ClockReading& now) {
    const std::optional<ClockReading> previous = std::exchange(previous_, now);
    if (alarm_.Generation() == 0)
        return false;
    const qint64 moment = now.WallSeconds();
    // Only moments after `passedFrom` count as passed since the last decision.
    qint64 passedFrom = previous ? previous->WallSeconds() : moment - 1;
    if (armedGeneration_ != alarm_.Generation()) {
        armedGeneration_ = alarm_.Generation();
        rungDays_.clear();
        // Set since the previous tick, so at the earliest within that tick's second, which counts.
        if (previous)
            --passedFrom;
    }

    // The latest alarm moment at or before now, today's or yesterday's.
    qint64 alarmMoment = now.date.toJulianDay() * 86400 + alarm_.AlarmTime().msecsSinceStartOfDay() / 1000;
    if (alarmMoment > moment)
        alarmMoment -= 86400;
    const qint64 alarmDay = alarmMoment / 86400;
    const bool passed = passedFrom < alarmMoment && alarmMoment <= moment;
    const bool jumped = previous && now.realSeconds - previous->realSeconds <= Minute;
    if (!passed || rungDays_.contains(alarmDay) || (moment >= alarmMoment + Minute && !jumped))
        return false;
    rungDays_.insert(alarmDay);
    return true;
}

} // namespace aramu
