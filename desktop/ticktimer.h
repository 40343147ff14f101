// ticktimer.h - a tick just after each second of the wall clock, and at once when the clock is set
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QSocketNotifier;

namespace desktop {

// Milliseconds from `nowMs` to just after the next multiple of `intervalMs` of the wall clock, so
// that a tick sees the new second within a few milliseconds and never drifts.
int MsecsToNextTick(qint64 nowMs, int intervalMs);

class TickTimer : public QObject {
    Q_OBJECT
public:
    explicit TickTimer(std::function<void()> onTick, QObject* parent = nullptr);
    ~TickTimer() override;
    void Start();
    void Stop();
    bool IsActive() const { return timer_.isActive(); }
    int RemainingMs() const { return timer_.remainingTime(); }

    // Someone set the wall clock (by hand, NTP, resume): show it now rather than at the next wake.
    void ClockWasSet();

private:
    void Arm();
    void Fire();
    void WatchClock();

    std::function<void()> onTick_;
    QTimer timer_;
    int clockFd_ = -1; // Linux: a timerfd that a set wall clock cancels
    QSocketNotifier* clockNotifier_ = nullptr;
};

} // namespace desktop
