// x11.h - what the program asks of an X server beyond what Qt offers
#pragma once

class QWidget;

namespace desktop {

// Stops the window hearing of changes to its own properties, which Qt listens for to track window
// states the program never asks about. A window that changes its title every second would
// otherwise be woken twice more each second by the echo. Does nothing off X.
void IgnoreOwnPropertyChanges(QWidget* window);

} // namespace desktop
