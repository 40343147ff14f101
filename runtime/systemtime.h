// systemtime.h - the clock and the locale formats the windows read, replaceable by tests
#pragma once

#include "clock.h"
#include "localeformats.h"

namespace runtime {

// The system clock unless a test has put its own in place.
const aramu::Clock& ProgramClock();
// The caller keeps the clock alive while it is in place; nullptr goes back to the system clock.
void SetProgramClock(const aramu::Clock* clock);

// The formats of the user's locale, read once.
const aramu::LocaleFormats& UserFormats();

} // namespace runtime
