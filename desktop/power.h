// power.h - keeps the machine awake for the alarm, and wakes it for the alarm where the system allows
#pragma once

#include <QString>
#include <QTime>

#include <memory>

class QWidget;

namespace desktop {

// An alarm set at night must not be slept through because the idle machine suspended itself. From the first
// Hold until the program ends, the desktop is asked to hold off its automatic suspend (never the screen's
// blanking or locking, nor a suspend the user asks for), naming the reason, which its power menu shows; and the
// system is asked to wake the machine a minute before the alarm, every day, should it sleep all the same.
// Where the desktop or the system refuses, one line says so, once; where neither is there, nothing is said.
// Nothing here waits on the desktop, and nothing runs between two settings.
class Power {
public:
    Power();
    ~Power(); // leaves the hold and the wake to the end of the program, which releases the hold by itself
    Power(const Power&) = delete;
    Power& operator=(const Power&) = delete;

    // A new alarm: the hold is renewed with the new reason, the wake moved to the new time. The window is the
    // one the desktop may point to when it lists the reason.
    void Hold(QTime alarm, const QString& reason, QWidget* window);
    // The program ends: a wake the system would keep after it is taken back. Waits on a hung system for
    // a third of a second at most.
    void End();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The program's own, made at the first use.
Power& ProgramPower();

} // namespace desktop
