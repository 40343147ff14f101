// ringdecision.h - whether a tick opens the alarm box
#pragma once

#include <optional>

#include "alarmstate.h"
#include "clock.h"

namespace aramu {

// Decides, once per tick, whether to open the alarm box now. It rings when the alarm moment was
// reached since the previous tick and the clock is still within the alarm's minute, so a late tick
// still rings but waking from sleep much later does not; and at most once per alarm setting and
// calendar date, so ticks while the box is open or a clock set back ring nothing more.
class RingDecision {
public:
    explicit RingDecision(const AlarmState& alarm) : alarm_(alarm) {}
    bool RingNow(const ClockReading& now);

private:
    const AlarmState& alarm_;
    std::optional<qint64> previousMoment_; // local wall time in seconds
    quint64 rungGeneration_ = 0;
    std::optional<qint64> rungDay_;
};

} // namespace aramu
