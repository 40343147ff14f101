#include "core/ringdecision.h"

#include <algorithm>
#include <utility>

namespace aramu {
namespace {

constexpr qint64 Minute = 60;
constexpr qint64 Day = 86400;

qint64 Wall(qint64 instant) {
    return LocalReading(instant, 0, 0).WallSeconds();
}

// The first instant after `now` at which the wall clock reaches `wall`, a wall time within a day of `near`, or
// none (0). Zones change their offset at most once a day, so the offsets a day before and after name the one
// or two instants that show it: where both do (the hour repeats), the first, unless it has passed; where
// neither does (a gap), the change itself.
qint64 Reaching(qint64 wall, qint64 near, qint64 now) {
    const qint64 before = wall - (Wall(near - Day) - (near - Day));
    const qint64 after = wall - (Wall(near + Day) - (near + Day));
    qint64 low = std::min(before, after), high = std::max(before, after);
    if (Wall(low) >= wall)
        return low > now ? low : high > now && Wall(high) == wall ? high : 0;
    while (high - low > 1) { // across the gap the wall clock only climbs
        const qint64 middle = low + (high - low) / 2;
        (Wall(middle) >= wall ? high : low) = middle;
    }
    return high > now ? high : 0;
}

} // namespace

qint64 NextRingInstant(QTime alarm, qint64 now, bool justRung) {
    const ClockReading today = LocalReading(now, 0, 0);
    // The date that rang: today's, or yesterday's for a ring late past midnight.
    const QDate rung = today.time >= alarm ? today.date : today.date.addDays(-1);
    for (int days = 0;; ++days) {
        const QDate date = today.date.addDays(days);
        const qint64 wall = date.toJulianDay() * Day + alarm.msecsSinceStartOfDay() / 1000;
        if (justRung && date == rung)
            continue;
        if (const qint64 ring = Reaching(wall, now + days * Day, now))
            return ring;
    }
}

qint64 WakeInstant(QTime alarm, qint64 now, bool justRung) {
    const qint64 ring = NextRingInstant(alarm, now, justRung);
    return ring - Minute > now ? ring - Minute : ring;
}

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
