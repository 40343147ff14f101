#include "desktop/ticktimer.h"

#include <QDateTime>
#include <QSocketNotifier>

#if defined(Q_OS_LINUX)
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#endif

namespace desktop {
namespace {

constexpr int LandAfterBoundaryMs = 2;
#if defined(Q_OS_LINUX)
// The clock only changes its display once a second, and a set clock wakes the timerfd at once.
constexpr int IntervalMs = 1000;
#else
// Without a way to hear of a set clock, looking ten times a second shows it soon enough.
constexpr int IntervalMs = 100;
#endif

} // namespace

int MsecsToNextTick(qint64 nowMs, int intervalMs) {
    const qint64 intoInterval = ((nowMs % intervalMs) + intervalMs) % intervalMs;
    return static_cast<int>(intervalMs - intoInterval) + LandAfterBoundaryMs;
}

TickTimer::TickTimer(std::function<void()> onTick, QObject* parent) : QObject(parent), onTick_(std::move(onTick)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TickTimer::Fire);
}

TickTimer::~TickTimer() {
    Stop();
}

// The first tick comes as soon as the event loop runs, so a new window never waits for its first
// boundary; from then on every tick is aligned.
void TickTimer::Start() {
    timer_.start(0);
    WatchClock();
}

void TickTimer::Stop() {
    timer_.stop();
#if defined(Q_OS_LINUX)
    delete clockNotifier_;
    clockNotifier_ = nullptr;
    if (clockFd_ >= 0)
        ::close(clockFd_);
    clockFd_ = -1;
#endif
}

void TickTimer::Arm() {
    // A relative timer on the monotonic clock: where the wall clock is faked or stepped, the next
    // tick still comes within one interval and lands on the boundary again after it.
    timer_.start(MsecsToNextTick(QDateTime::currentMSecsSinceEpoch(), IntervalMs));
}

void TickTimer::Fire() {
    // Re-armed before the handler, which may sit in a modal box for a long time.
    Arm();
    onTick_();
}

void TickTimer::ClockWasSet() {
    WatchClock();
    Fire();
}

// The timerfd never expires (it is armed as far ahead as the kernel counts); it exists to be
// cancelled, which the kernel does whenever the wall clock is set.
void TickTimer::WatchClock() {
#if defined(Q_OS_LINUX)
    if (clockFd_ < 0) {
        clockFd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
        if (clockFd_ < 0)
            return; // without it a set clock still shows within a second
        clockNotifier_ = new QSocketNotifier(clockFd_, QSocketNotifier::Read, this);
        connect(clockNotifier_, &QSocketNotifier::activated, this, [this] {
            std::uint64_t expirations = 0;
            if (::read(clockFd_, &expirations, sizeof expirations) < 0 && errno == ECANCELED)
                ClockWasSet();
        });
    }
    itimerspec farAhead{};
    farAhead.it_value.tv_sec = static_cast<time_t>(1) << 40;
    timerfd_settime(clockFd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &farAhead, nullptr);
#endif
}

} // namespace desktop
