// Power on Windows: the system is told it is required while an alarm is set, and a waitable timer resumes it.
#include <QString>

#include <windows.h>

#include "desktop/power.h"

namespace desktop {
namespace {

class PowerWindows : public PowerMeans {
public:
    ~PowerWindows() override {
        if (timer_ != nullptr)
            CloseHandle(timer_);
    }

    // Required by the program, for as long as it runs: the idle machine does not sleep, while the display may
    // still turn off and lock, and the user may still put the machine to sleep. Windows takes no reason here.
    void Hold(const QString&, QWidget*, Answered answered) override {
        answered(SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0 ? Answer::Granted : Answer::Refused,
                 QStringLiteral("SetThreadExecutionState failed"));
    }

    // One dated moment, the next ring's: the timer does not repeat, and is set again after each ring, since
    // a period of 24 hours would drift by an hour at each change of summer time.
    void Wake(qint64 instant, const QString&, Answered refused) override {
        if (timer_ == nullptr) {
            timer_ = CreateWaitableTimerW(nullptr, TRUE, nullptr);
            if (timer_ == nullptr) // resuming is all: nothing waits on it
                return refused(Answer::Refused, Error(GetLastError()));
        }
        // A positive due time is absolute: 100-nanosecond intervals since 1601, in UTC.
        constexpr qint64 From1601To1970 = 11'644'473'600; // seconds
        LARGE_INTEGER due;
        due.QuadPart = (instant + From1601To1970) * 10'000'000;
        if (!SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, TRUE))
            refused(Answer::Refused, Error(GetLastError()));
        else if (GetLastError() == ERROR_NOT_SUPPORTED)
            refused(Answer::MachineCannotResume, Error(ERROR_NOT_SUPPORTED));
    }

    void Release() override {
        // The timer would go with the process all the same; cancelled here, it cannot fire while the program ends.
        if (timer_ != nullptr)
            CancelWaitableTimer(timer_);
        SetThreadExecutionState(ES_CONTINUOUS);
    }

    // A waitable timer dies with its process: nothing is left behind.
    void StopLeftovers() override {}

private:
    static QString Error(DWORD code) {
        wchar_t text[256] = {};
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 256,
                       nullptr);
        return QString::fromWCharArray(text).trimmed();
    }

    HANDLE timer_ = nullptr;
};

} // namespace

std::unique_ptr<PowerMeans> PlatformPowerMeans() {
    return std::make_unique<PowerWindows>();
}

} // namespace desktop
