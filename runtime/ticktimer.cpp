#include "ticktimer.h"

#include <QDateTime>

namespace runtime {

namespace {
constexpr int LandAfterBoundaryMs = 2;
}

int MsecsToNextTick(qint64 nowMs, int intervalMs) {
    const qint64 intoInterval = ((nowMs % intervalMs) + intervalMs) % intervalMs;
    return static_cast<int>(intervalMs - intoInterval) + LandAfterBoundaryMs;
}

TickTimer::TickTimer(int intervalMs, std::function<void()> onTick, QObject* parent)
    : QObject(parent), intervalMs_(intervalMs), onTick_(std::move(onTick)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TickTimer::fire);
}

// The first tick comes as soon as the event loop runs, so a new window never waits for its first
// boundary; from then on every tick is aligned.
void TickTimer::start() {
    timer_.start(0);
}

void TickTimer::arm() {
    timer_.start(MsecsToNextTick(QDateTime::currentMSecsSinceEpoch(), intervalMs_));
}

void TickTimer::stop() {
    timer_.stop();
}

void TickTimer::fire() {
    // Re-armed before the handler, which may sit in a modal box for a long time.
    arm();
    onTick_();
}

} // namespace runtime
