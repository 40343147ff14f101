// ticktimer.h - a tick every interval, landing just after each boundary of the wall clock
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace runtime {

// Milliseconds from `nowMs` to just after the next multiple of `intervalMs`, so that a tick sees
// the new second within a few milliseconds and never drifts.
int MsecsToNextTick(qint64 nowMs, int intervalMs);

class TickTimer : public QObject {
    Q_OBJECT
public:
    TickTimer(int intervalMs, std::function<void()> onTick, QObject* parent = nullptr);
    void start();
    void stop();
    bool isActive() const { return timer_.isActive(); }

private:
    void arm();
    void fire();

    int intervalMs_;
    std::function<void()> onTick_;
    QTimer timer_;
};

} // namespace runtime
