// systemtime.h - the clock the windows read, replaceable by tests
#pragma once

#include "core/clock.h"

namespace desktop {

// The system clock unless a test has put its own in place.
const aramu::Clock& ProgramClock();
// The caller keeps the clock alive while it is in place; nullptr goes back to the system clock.
void SetProgramClock(const aramu::Clock* clock);

} // namespace desktop
