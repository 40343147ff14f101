// said.h - what the program itself tells the user on standard error
#pragma once

#include <QLoggingCategory>

namespace desktop {

// Printed as "rupika-tokei: <message>", and still heard where Qt's own warnings are turned off.
Q_DECLARE_LOGGING_CATEGORY(Said)

} // namespace desktop
