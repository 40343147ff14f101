// ringdecision.h - whether a tick rings the alarm, or finds it missed while the machine slept
#pragma once

#include <QSet>

#include <optional>

#include "core/alarmstate.h"
#include "core/clock.h"

namespace aramu {

enum class Ring {
    Quiet,
    Now, // the alarm's moment has come: ring
    // Too late to ring, but the user should know it passed:
    MissedAsleep, // while the machine slept
    MissedAwake,  // while the machine was awake but the program stood still
};

// Decides, once per tick, whether to open the alarm box now. The tick rings when
// - the alarm moment (today's, or yesterday's if today's is still ahead) was passed since the previous
//   tick: it lies after the previous tick's second and at or before this one's. On the first tick, and
//   after a clock set back, only the tick's own second counts; after a setting the previous tick's
//   second counts as well, the setting having been made within it;
// - and the clock is still within the alarm's minute, or the wall clock got beyond it in no real time
//   (a summer-time gap, a clock set forward): a late tick rings, a sleeping machine does not;
// - and it has not rung for that date since the alarm was set.
// A moment passed late after a real absence is missed instead, once, and counts as rung: asleep when the
// machine slept for most of the absence, awake otherwise.
// The instant (seconds since the epoch) at which the alarm next rings after `now`, as the rule below rings it
// under the current time zone: the first moment the wall clock reaches the alarm's time, today or tomorrow.
// In a summer-time gap that is the gap's end; where the hour repeats, its first pass not yet past. Just after
// a ring (or a missed alarm), the date that rang rings no more.
qint64 NextRingInstant(QTime alarm, qint64 now, bool justRung = false);
// When a sleeping machine must be woken for that ring: a minute before it, so that the desktop is back when it
// comes, or at the ring itself where less than a minute is left.
qint64 WakeInstant(QTime alarm, qint64 now, bool justRung = false);

class RingDecision {
public:
    explicit RingDecision(const AlarmState& alarm) : alarm_(alarm) {}
    Ring RingNow(const ClockReading& now);

private:
    const AlarmState& alarm_;
    std::optional<ClockReading> previous_;
    quint64 armedGeneration_ = 0;
    QSet<qint64> rungDays_; // of the current setting, as Julian days
};

} // namespace aramu
