#include "core/clock.h"

#include <QDateTime>

#include <chrono>

#if defined(Q_OS_LINUX)
#include <time.h>
#endif

namespace aramu {
namespace {

qint64 SteadySeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
}

// CLOCK_BOOTTIME counts a night's sleep; CLOCK_MONOTONIC (the steady clock) stops during it.
qint64 RealSeconds() {
#if defined(Q_OS_LINUX)
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0)
        return ts.tv_sec;
#endif
    return SteadySeconds();
}

} // namespace

ClockReading LocalReading(qint64 secondsSinceEpoch, qint64 realSeconds, qint64 awakeSeconds) {
    // Qt calls tzset() before each conversion to local time, so a replaced /etc/localtime or a new TZ
    // shows at the next reading although glibc's localtime_r alone would keep the old zone. Local time
    // is the default: Qt 6.8 deprecates naming it as a Qt::TimeSpec, and Qt 6.4 has no QTimeZone for it.
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch);
    return ClockReading{local.date(), local.time(), realSeconds, awakeSeconds};
}

ClockReading SystemClock::Now() const {
    // Whole seconds, with no nanosecond count to overflow in 2262.
    return LocalReading(QDateTime::currentSecsSinceEpoch(), RealSeconds(), SteadySeconds());
}

} // namespace aramu
