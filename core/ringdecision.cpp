#include "core/ringdecision.h"

#include <algorithm>
#include <utility>

namespace aramu {
namespace {

constexpr qint64 Minute = 60;

} // namespace

Ring RingDecision::RingNow(const ClockReading& now) {
    const std::optional<ClockReading> previous = std::exchange(previous_, now);
    if (alarm_.Generation() == 0)
        return Ring::Quiet;
    const qint64 moment = now.WallSeconds();
    // Moments after `passedFrom`, up to now, count as passed since the last decision: normally those
    // after the previous tick; after a clock set back only the second it landed on; on the first
    // tick only its own second.
    qint64 passedFrom = previous && previous->WallSeconds() < moment ? previous->WallSeconds() : moment - 1;
    if (armedGeneration_ != alarm_.Generation()) {
        armedGeneration_ = alarm_.Generation();
        rungDays_.clear();
        // Set since the previous tick, so at the earliest within that tick's second, which counts too.
        if (previous)
            passedFrom = std::min(passedFrom, previous->WallSeconds() - 1);
    }

    // The latest alarm moment at or before now, today's or yesterday's.
    qint64 alarmMoment = now.date.toJulianDay() * 86400 + alarm_.AlarmTime().msecsSinceStartOfDay() / 1000;
    if (alarmMoment > moment)
        alarmMoment -= 86400;
    const qint64 alarmDay = alarmMoment / 86400;
    const bool passed = passedFrom < alarmMoment && alarmMoment <= moment;
    // The wall clock got here in no real time (a summer-time gap, a clock set forward), not through
    // a real absence such as a sleeping machine.
    const bool noRealAbsence = previous && now.realSeconds - previous->realSeconds <= Minute;
    const bool lateInTheMinute = moment >= alarmMoment + Minute;
    if (!passed || rungDays_.contains(alarmDay))
        return Ring::Quiet;
    rungDays_.insert(alarmDay);
    if (!lateInTheMinute || noRealAbsence || !previous)
        return Ring::Now;
    const qint64 absence = now.realSeconds - previous->realSeconds;
    const qint64 asleep = absence - (now.awakeSeconds - previous->awakeSeconds);
    return 2 * asleep > absence ? Ring::MissedAsleep : Ring::MissedAwake;
}

} // namespace aramu
