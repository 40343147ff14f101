// said.h - what the program itself tells the user on standard error
#pragma once

#include <QLoggingCategory>

namespace desktop {

// Printed as "rupika-tokei: <message>", and still heard where Qt's own warnings are turned off.
Q_DECLARE_LOGGING_CATEGORY(Said)

// A Windows program with windows starts without a console, and Qt would send what it says to the debugger:
// standard output and error go to the console it was started from, unless they were sent elsewhere, and
// what it says goes to standard error wherever that leads. Elsewhere nothing needs doing. Call first.
void SayWhereStarted();

} // namespace desktop
