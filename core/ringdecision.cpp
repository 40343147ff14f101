#include "ringdecision.h"

namespace aramu {

bool RingDecision::RingNow(const ClockReading& now) {
    const qint64 moment = now.WallSeconds();
    const std::optional<qint64> previous = previousMoment_;
    previousMoment_ = moment;

    const qint64 day = now.date.toJulianDay();
    if (alarm_.Generation() == 0 || (rungGeneration_ == alarm_.Generation() && rungDay_ == day))
        return false;
    const qint64 alarmMoment = day * 86400 + alarm_.AlarmTime().msecsSinceStartOfDay() / 1000;
    const bool ring = previous ? *previous < alarmMoment && alarmMoment <= moment && moment < alarmMoment + 60
                               : alarm_.IsAlarmDue(now.time);
    if (ring) {
        rungGeneration_ = alarm_.Generation();
        rungDay_ = day;
    }
    return ring;
}

} // namespace aramu
