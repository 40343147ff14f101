// The player on Windows: the system's own sounds, which the system plays without waiting.
#include <QTimer>

#include <windows.h>

#include "desktop/soundplayer.h"

namespace desktop {
namespace {

std::weak_ptr<Playing> alarm;

QTimer& FiveMinutes() {
    static QTimer* const timer = [] {
        auto* t = new QTimer;
        t->setSingleShot(true);
        t->setInterval(RingFor);
        QObject::connect(t, &QTimer::timeout, t, [] { PlaySoundW(nullptr, nullptr, 0); });
        return t;
    }();
    return *timer;
}

void Loop() {
    // The default sound, looped by the system itself until the box goes or five minutes pass.
    PlaySoundW(reinterpret_cast<LPCWSTR>(SND_ALIAS_SYSTEMDEFAULT), nullptr, SND_ALIAS_ID | SND_ASYNC | SND_LOOP);
    FiveMinutes().start();
}

} // namespace

void PlayerStart(const std::shared_ptr<Playing>& playing) {
    if (playing->kind == BoxSound::Alarm) {
        alarm = playing;
        Loop();
    } else {
        MessageBeep(playing->kind == BoxSound::Information ? MB_ICONINFORMATION : MB_OK);
    }
    playing->state = Playing::Heard;
}

void PlayerRingAgain(const std::shared_ptr<Playing>& playing) {
    if (alarm.lock() == playing)
        Loop();
}

void PlayerStop(const std::shared_ptr<Playing>& playing) {
    if (alarm.lock() != playing)
        return;
    FiveMinutes().stop();
    PlaySoundW(nullptr, nullptr, 0);
}

} // namespace desktop
