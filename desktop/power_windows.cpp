// Power on Windows: the system is told it is required while an alarm is set, and a waitable timer resumes it.
#include <QDateTime>
#include <QWinEventNotifier>

#include <windows.h>

#include "desktop/power.h"
#include "desktop/said.h"

namespace desktop {

struct Power::Impl {
    HANDLE timer = nullptr;
    QWinEventNotifier* elapsed = nullptr;
    QTime wake;
    bool refusalSaid = false;

    void Refused(const char* why) {
        if (!refusalSaid)
            qCWarning(Said,
                      "this system does not let the clock wake a sleeping machine for the alarm (%s); "
                      "the clock still keeps it from going to sleep by itself while the alarm is set",
                      why);
        refusalSaid = true;
    }

    // The next time the wall clock shows the wake time. The timer is set for that moment alone and set again
    // each time it elapses, since a period of 24 hours would drift by an hour at each change of summer time.
    void Arm() {
        QDateTime next(QDate::currentDate(), wake);
        if (next <= QDateTime::currentDateTime())
            next = next.addDays(1);
        // A positive due time is absolute: 100-nanosecond intervals since 1601, in UTC.
        constexpr qint64 From1601To1970 = 11'644'473'600'000; // milliseconds
        LARGE_INTEGER due;
        due.QuadPart = (next.toMSecsSinceEpoch() + From1601To1970) * 10'000;
        if (!SetWaitableTimer(timer, &due, 0, nullptr, nullptr, TRUE))
            Refused("the wake-up timer could not be set");
        else if (GetLastError() == ERROR_NOT_SUPPORTED)
            Refused("the machine cannot be resumed by a timer");
    }
};

Power::Power() : impl_(std::make_unique<Impl>()) {}

Power::~Power() {
    if (impl_->timer != nullptr) {
        delete impl_->elapsed;
        CloseHandle(impl_->timer);
    }
}

void Power::Hold(QTime alarm, const QString&, QWidget*) {
    // Required by the program, for as long as it runs: the idle machine does not sleep, while the display may
    // still turn off and lock, and the user may still put the machine to sleep. Windows takes no reason here.
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    Impl& d = *impl_;
    if (d.timer == nullptr) {
        d.timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
        if (d.timer == nullptr)
            return d.Refused("no wake-up timer could be made");
        d.elapsed = new QWinEventNotifier(d.timer);
        QObject::connect(d.elapsed, &QWinEventNotifier::activated, d.elapsed, [&d] { d.Arm(); });
    }
    d.wake = alarm.addSecs(-60);
    d.Arm();
}

void Power::End() {
    // The timer would go with the process all the same; cancelled here, it cannot fire while the program ends.
    if (impl_->timer != nullptr)
        CancelWaitableTimer(impl_->timer);
    SetThreadExecutionState(ES_CONTINUOUS);
}

Power& ProgramPower() {
    static Power* const power = new Power;
    return *power;
}

} // namespace desktop
