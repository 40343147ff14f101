// power.h - keeps the machine awake for the alarm, and wakes it for the alarm where the system allows
#pragma once

#include <QString>
#include <QTime>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace desktop {

// What a platform offers to keep an idle machine awake and to wake a sleeping one (power_dbus.cpp,
// power_windows.cpp, power_none.cpp). It carries out what Power decides and reports what the system
// answered; it decides nothing and says nothing.
class PowerMeans {
public:
    enum class Answer {
        Granted,
        Absent,  // no service there, or none that answered in time
        Refused, // a service there would not; `detail` is its own word for why
        // For the wake alone: the user's service manager may not wake the machine (it lacks CAP_WAKE_ALARM).
        ManagerMayNotWake,
        MachineCannotResume, // the machine has no timer that resumes it
    };
    using Answered = std::function<void(Answer, const QString& detail)>;

    virtual ~PowerMeans() = default;
    // Holds off the idle machine's suspend, naming the reason, in place of any earlier hold; answers once,
    // unless a newer hold came first.
    virtual void Hold(const QString& reason, QWidget* window, Answered answered) = 0;
    // A wake at that instant (seconds since the epoch) in place of any earlier one; answers only a refusal.
    virtual void Wake(qint64 instant, const QString& reason, Answered refused) = 0;
    // The hold and the wake taken back before the program ends, waiting on a hung system a moment at most.
    virtual void Release() = 0;
    // Wakes that programs of this name left behind when they were killed, stopped.
    virtual void StopLeftovers() = 0;
};

// The platform's means.
std::unique_ptr<PowerMeans> PlatformPowerMeans();

// An alarm set at night must not be slept through because the idle machine suspended itself. From the first
// setting until the program ends, the desktop is asked to hold off its automatic suspend (never the screen's
// blanking or locking, nor a suspend the user asks for), naming the alarm, which its power menu shows; and the
// system is asked to wake the machine a minute before the next ring, should it sleep all the same. That wake
// is for one ring: set again after each, so that one left behind by a killed program wakes the machine once.
// Where the desktop or the system refuses, one line says so, once; where neither is there, nothing is said.
// Nothing here waits on the desktop, and nothing runs between two settings.
class Power {
public:
    explicit Power(std::unique_ptr<PowerMeans> means);
    ~Power();
    Power(const Power&) = delete;
    Power& operator=(const Power&) = delete;

    // A new alarm: the hold renewed with its name, the wake moved to its next ring. The window is the one
    // the desktop may point to when it lists the reason.
    void HoldAndWakeFor(QTime alarm, QWidget* window);
    // The alarm rang, or was found missed: the wake moved to the next ring.
    void WakeForNextRing();
    // The program ends, however it was asked to: the hold released, the wake stopped.
    void Release();
    // At the start: wakes left behind by clocks that were killed are stopped.
    void StopLeftovers();

private:
    void SayWakeRefused(PowerMeans::Answer answer, const QString& detail) const;

    std::unique_ptr<PowerMeans> means_;
    QTime alarm_;
    std::optional<bool> held_;          // the desktop's answer to the last setting, once it came
    std::function<void()> wakeRefused_; // said once the desktop has answered
    bool set_ = false, holdRefusalSaid_ = false, wakeRefusalSaid_ = false;
};

// The program's own, on the platform's means, made at the first use and released at exit() as well, which Qt
// calls where the X connection breaks.
Power& ProgramPower();

} // namespace desktop
