// soundrules.h - how long and how often a ringing alarm sounds, and when a lost sound is told lost and back
#pragma once

#include <chrono>
#include <cstdint>

namespace aramu {

// How long an alarm rings, unless its box goes first. Every player stops its alarm's sound after this.
inline constexpr std::chrono::minutes RingFor{5};
// The ringing alarm's cadence: where its sound is not heard the display's bell rings this often and the
// sound is tried again, and a box hidden behind another window is brought forward again.
inline constexpr std::chrono::seconds BellEvery{1};
// A lost sound is back only once it has been heard this long without a fault since the last one.
inline constexpr std::chrono::seconds SteadyFor{5};

// What is said of the sound's outages, one line as each begins and one as it ends. A server that pauses
// again and again, answering for a moment between pauses, is one outage: it ends only once the sound has
// been heard steadily for SteadyFor.
class SoundOutage {
public:
    // A fault noticed at `nowMs` (steady-clock milliseconds): true when it begins an outage.
    bool Fault(std::int64_t nowMs);
    // The sound heard at `nowMs`: true when that ends the outage.
    bool Heard(std::int64_t nowMs);

private:
    bool out_ = false;
    std::int64_t lastFaultMs_ = 0;
};

} // namespace aramu
