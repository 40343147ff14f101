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

void TickTimer::start() {
    timer_.start(MsecsToNextTick(QDateTime::currentMSecsSinceEpoch(), intervalMs_));
}

void TickTimer::stop() {
    timer_.stop();
}

void TickTimer::fire() {
    // Re-armed before the handler, which may sit in a modal box for a long time.
    start();
    onTick_();
}

} // namespace runtime
