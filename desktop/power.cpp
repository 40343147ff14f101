// When the clock holds off the idle machine's suspend and wakes a sleeping one, and what it says of either.
#include "desktop/power.h"

#include <QDateTime>

#include <cstdlib>

#include "core/ringdecision.h"
#include "core/ticktexts.h"
#include "desktop/said.h"

namespace desktop {

Power::Power(std::unique_ptr<PowerMeans> means) : means_(std::move(means)) {}
Power::~Power() = default;

void Power::HoldAndWakeFor(QTime alarm, QWidget* window) {
    alarm_ = alarm;
    set_ = true;
    held_.reset();
    means_->Hold(aramu::AlarmName(alarm), window, [this](PowerMeans::Answer answer, const QString& detail) {
        held_ = answer == PowerMeans::Answer::Granted;
        // No service at all is a desktop that suspends nothing by itself.
        if (!*held_ && answer != PowerMeans::Answer::Absent && !std::exchange(holdRefusalSaid_, true))
            qCWarning(Said,
                      "no desktop would hold off its automatic suspend for the alarm (%s); an idle machine may "
                      "sleep through it",
                      qUtf8Printable(detail));
        if (wakeRefused_)
            std::exchange(wakeRefused_, {})();
    });
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    means_->Wake(aramu::WakeInstant(alarm, now), aramu::AlarmName(alarm),
                 [this](PowerMeans::Answer answer, const QString& detail) {
                     if (answer == PowerMeans::Answer::Absent || std::exchange(wakeRefusalSaid_, true))
                         return;
                     // Said with what still holds, once the desktop has answered.
                     wakeRefused_ = [this, answer, detail] { SayWakeRefused(answer, detail); };
                     if (held_)
                         std::exchange(wakeRefused_, {})();
                 });
}

void Power::SayWakeRefused(PowerMeans::Answer answer, const QString& detail) const {
    const char* still = *held_ ? "an idle machine is still kept from suspending itself while the alarm is set"
                               : "only a machine left awake rings it";
    if (answer == PowerMeans::Answer::ManagerMayNotWake)
        qCWarning(Said,
                  "the user's service manager may not wake a sleeping machine for the alarm (it lacks the "
                  "CAP_WAKE_ALARM capability, which systemd 254 and later give to users at a local seat); %s",
                  still);
    else if (answer == PowerMeans::Answer::MachineCannotResume)
        qCWarning(Said, "this machine has no timer that wakes it for the alarm (%s); %s", qUtf8Printable(detail),
                  still);
    else
        qCWarning(Said, "the system would not wake a sleeping machine for the alarm (%s); %s", qUtf8Printable(detail),
                  still);
}

void Power::WakeForNextRing() {
    if (set_)
        means_->Wake(aramu::WakeInstant(alarm_, QDateTime::currentSecsSinceEpoch(), true), aramu::AlarmName(alarm_),
                     [](PowerMeans::Answer, const QString&) {}); // said at the setting, if at all
}

void Power::Release() {
    if (std::exchange(set_, false))
        means_->Release();
}

void Power::StopLeftovers() {
    means_->StopLeftovers();
}

Power& ProgramPower() {
    // Never destroyed: it may outlive the application object, and the end of the process releases the hold.
    static Power* const power = [] {
        auto* made = new Power(PlatformPowerMeans());
        std::atexit([] { ProgramPower().Release(); });
        return made;
    }();
    return *power;
}

} // namespace desktop
