#include "desktop/sound.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include "desktop/soundplayer.h"

namespace desktop {
namespace {

bool silent = false;

using Clock = std::chrono::steady_clock;
// A sound not heard by then is taken for lost: a hung sound server never says.
constexpr auto HeardWithin = std::chrono::seconds(2);

} // namespace

void SetSilent(bool on) {
    silent = on;
}

BoxSound::BoxSound(Kind kind) : kind_(kind) {
    watch_.setInterval(1000);
    watch_.setSingleShot(kind != Alarm);
    QObject::connect(&watch_, &QTimer::timeout, &watch_, [this] { Watch(); });
}

BoxSound::~BoxSound() {
    Stop();
}

void BoxSound::Start(QWidget* box) {
    ++rings_;
    if (silent)
        return;
    // Sound servers tie the sound to its window, on X by the window's id.
    const std::string window = QGuiApplication::platformName() == QLatin1String("xcb")
                                   ? std::to_string(static_cast<unsigned long long>(box->winId()))
                                   : std::string();
    playing_ = std::make_shared<Playing>(kind_, box->windowTitle().toStdString(), window);
    asked_ = Clock::now();
    ringsUntil_ = asked_ + RingFor;
    PlayerStart(playing_);
    watch_.start();
}

void BoxSound::RingAgain() {
    ++rings_;
    if (!playing_ || kind_ != Alarm)
        return;
    asked_ = Clock::now();
    ringsUntil_ = asked_ + RingFor;
    PlayerRingAgain(playing_);
    watch_.start();
}

void BoxSound::Stop() {
    watch_.stop();
    if (playing_)
        PlayerStop(playing_);
    playing_.reset();
}

// The display's bell stands in for a sound that is not heard: once for a box that plays once, every second
// for a ringing alarm.
void BoxSound::Watch() {
    const Clock::time_point now = Clock::now();
    const Playing::State state = playing_->state;
    const bool unheard = state == Playing::Unheard || (state == Playing::Pending && now - asked_ >= HeardWithin);
    if (kind_ == Alarm && now >= ringsUntil_) {
        watch_.stop();
        return;
    }
    if (kind_ == Alarm ? unheard : state != Playing::Heard)
        QApplication::beep();
}

} // namespace desktop
