// x11.h - what the program asks of an X server beyond what Qt offers
#pragma once

class QWidget;

namespace desktop {

// Stops the window hearing of changes to its own properties, which Qt listens for to track window
// states the program never asks about. A window that changes its title every second would
// otherwise be woken twice more each second by the echo. Does nothing off X.
void IgnoreOwnPropertyChanges(QWidget* window);

// Whether the window the window manager calls active (_NET_ACTIVE_WINDOW) is another, lies above this one and
// overlaps it: a full-screen window with the focus sits above even a window kept on top. False off X.
bool CoveredByActive(QWidget* window);

// Asks the window manager to activate the window as a task bar or pager does for a click (EWMH source 2).
// An application's own request (Qt's) may be refused as focus stealing, or only flagged for attention.
void ActivateAsPager(QWidget* window);

} // namespace desktop
