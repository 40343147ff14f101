#include "core/soundrules.h"

namespace aramu {

bool SoundOutage::Fault(std::int64_t nowMs) {
    lastFaultMs_ = nowMs;
    const bool begins = !out_;
    out_ = true;
    return begins;
}

bool SoundOutage::Heard(std::int64_t nowMs) {
    if (!out_ || nowMs - lastFaultMs_ < std::chrono::milliseconds(SteadyFor).count())
        return false;
    out_ = false;
    return true;
}

} // namespace aramu
