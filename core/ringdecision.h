// ringdecision.h - whether a tick opens the alarm box
#pragma once

#include <QSet>

#include <optional>

#include "alarmstate.h"
#include "clock.h"

namespace aramu {

// Decides, once per tick, whether to open the alarm box now. It rings when the alarm moment was
// passed since the previous tick (or, just after a setting, since the second it was made in), as
// long as the clock is still within the alarm's minute or the wall clock jumped there in no real
// time (a summer-time gap, a clock set forward): a late tick still rings, a real absence of more
// than a minute (a sleeping machine) does not. It rings at most once per setting and date, so ticks
// while the box is open, a clock set back or a date revisited ring nothing more.
class RingDecision {
public:
    explicit RingDecision(const AlarmState& alarm) : alarm_(alarm) {}
    bool RingNow(const ClockReading& now);

private:
    const AlarmState& alarm_;
    std::optional<ClockReading> previous_;
    quint64 armedGeneration_ = 0;
    QSet<qint64> rungDays_; // of the current setting, as Julian days
};

} // namespace aramu
