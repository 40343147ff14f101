// endsignals.h - the signals that ask a program to end, answered in the event loop
#pragma once

#include <functional>

namespace desktop {

// SIGTERM (a logout, `kill`), SIGHUP (the terminal closed) and SIGINT (Ctrl+C) call `end` from the event loop,
// where the program can end as it does when asked through its windows, instead of at once with nothing put
// back. Where the system has no such signals, nothing.
void OnEndSignals(std::function<void()> end);

} // namespace desktop
