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

// Whether the user's sound scheme has a looping alarm (Windows 10 on), read where Windows keeps it: PlaySound
// answers a request to play in the background at once, whether it finds the sound or not.
bool SchemeHasAlarm() {
    wchar_t file[MAX_PATH];
    DWORD size = sizeof file;
    return RegGetValueW(HKEY_CURRENT_USER, L"AppEvents\\Schemes\\Apps\\.Default\\Notification.Looping.Alarm\\.Current",
                        nullptr, RRF_RT_REG_SZ, nullptr, file, &size) == ERROR_SUCCESS &&
           size > sizeof(wchar_t);
}

// The scheme's looping alarm, else the clock's own from its resources; looped by the system itself until the
// box goes or five minutes pass.
bool Loop() {
    constexpr DWORD Looped = SND_ASYNC | SND_LOOP | SND_NODEFAULT;
    const bool playing = SchemeHasAlarm() ? PlaySoundW(L"Notification.Looping.Alarm", nullptr, SND_ALIAS | Looped)
                                          : PlaySoundW(L"ALARM", GetModuleHandleW(nullptr), SND_RESOURCE | Looped);
    FiveMinutes().start();
    return playing;
}

} // namespace

void PlayerStart(const std::shared_ptr<Playing>& playing) {
    bool heard = true;
    if (playing->kind == BoxSound::Alarm) {
        alarm = playing;
        heard = Loop();
    } else {
        MessageBeep(playing->kind == BoxSound::Information ? MB_ICONINFORMATION : MB_OK);
    }
    playing->state = heard ? Playing::Heard : Playing::Unheard;
    if (!heard)
        SayNoSound("the system plays neither its alarm nor the clock's own");
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
