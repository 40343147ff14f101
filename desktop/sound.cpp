#include "desktop/sound.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <mutex>

#include "desktop/said.h"
#include "desktop/soundplayer.h"

namespace desktop {
namespace {

bool silent = false;
// Told from whichever thread notices first: the player's, or the window thread's watch.
std::mutex outageMutex;
aramu::SoundOutage outage;
// A question answered too late, for the watch to count as a fault: a pause shorter than the watch's cadence
// may begin and end between two of its looks.
std::atomic<bool> lateAnswer{false};

using Clock = std::chrono::steady_clock;
// A sound not heard by then is taken for lost: a hung sound server never says.
constexpr auto HeardWithin = std::chrono::seconds(2);
constexpr std::int64_t AnswerWithinMs = 700; // a server answers its probe in a few milliseconds

} // namespace

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

std::atomic<std::int64_t>& ServerAskedAt() {
    static std::atomic<std::int64_t> askedAt{0};
    return askedAt;
}

void ServerAnswered() {
    const std::int64_t askedAt = ServerAskedAt().exchange(0);
    if (askedAt != 0 && SteadyMs() - askedAt > AnswerWithinMs)
        lateAnswer = true;
}

void SayNoSound(const std::string& why) {
    const std::lock_guard lock(outageMutex);
    if (outage.Fault(SteadyMs()))
        qCWarning(Said, "no sound (%s); the bell rings instead", why.c_str());
}

void SayBack() {
    const std::lock_guard lock(outageMutex);
    if (outage.Heard(SteadyMs()))
        qCWarning(Said, "sound is back");
}

void SetSilent(bool on) {
    silent = on;
}

BoxSound::BoxSound(Kind kind) : kind_(kind) {
    watch_.setInterval(aramu::BellEvery);
    watch_.setSingleShot(kind != Alarm);
    QObject::connect(&watch_, &QTimer::timeout, &watch_, [this] { Watch(); });
}

BoxSound::~BoxSound() {
    Stop();
}

void BoxSound::Start(QWidget* box) {
    ++rings_;
    asked_ = Clock::now();
    ringsUntil_ = asked_ + RingFor;
    if (silent)
        return;
    lateAnswer = false; // of a question before this box
    // Sound servers tie the sound to its window, on X by the window's id.
    const std::string window = QGuiApplication::platformName() == QLatin1String("xcb")
                                   ? std::to_string(static_cast<unsigned long long>(box->winId()))
                                   : std::string();
    playing_ = std::make_shared<Playing>(kind_, box->windowTitle().toStdString(), window);
    PlayerStart(playing_);
    watch_.start();
}

void BoxSound::RingAgain() {
    ++rings_;
    if (kind_ != Alarm)
        return;
    asked_ = Clock::now();
    ringsUntil_ = asked_ + RingFor;
    if (!playing_)
        return;
    PlayerRingAgain(playing_);
    watch_.start();
}

bool BoxSound::Ringing() const {
    return kind_ == Alarm && rings_ > 0 && Clock::now() < ringsUntil_;
}

void BoxSound::Stop() {
    watch_.stop();
    if (playing_)
        PlayerStop(playing_);
    playing_.reset();
}

// The display's bell stands in for a sound that is not heard: once for a box that plays once, every second
// for a ringing alarm.
// A sound that is neither heard nor failed is told here, with the first bell: the player may be held up
// inside the sound system for a minute before it fails.
void BoxSound::Watch() {
    const Clock::time_point now = Clock::now();
    const std::int64_t nowMs = SteadyMs(), askedAt = ServerAskedAt();
    const Playing::State state = playing_->state;
    const bool noAnswer = lateAnswer.exchange(false) || (askedAt != 0 && nowMs - askedAt > AnswerWithinMs) ||
                          (state == Playing::Pending && now - asked_ >= HeardWithin);
    const bool stalled = state == Playing::Heard && nowMs > playing_->heardUntil;
    const bool unheard = state == Playing::Unheard || noAnswer || stalled;
    if (kind_ == Alarm && now >= ringsUntil_) {
        watch_.stop();
        return;
    }
    if (noAnswer || stalled)
        SayNoSound(noAnswer ? "the sound server does not answer" : "the sound stopped without ending");
    else if (state == Playing::Heard)
        SayBack();
    if (kind_ == Alarm ? unheard : state != Playing::Heard)
        QApplication::beep();
}

} // namespace desktop
