#include "sound.h"

#include <QGuiApplication>
#include <QWidget>

#include "said.h"

#if defined(RUPIKA_HAVE_CANBERRA)
#include <canberra.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#elif defined(Q_OS_WIN)
#include <QTimer>

#include <windows.h>
#endif

namespace runtime {
namespace {

bool silent = false;

#if defined(RUPIKA_HAVE_CANBERRA)
struct Request {
    enum Ask { Once, Ring, Again, Stop } ask; // Ring plays until Stop, Again when one play of it ends
    quint32 id;
    std::string event, description, window;
};

// The sound system is reached from a thread of its own: connecting to a sound server, finding the theme's
// file and decoding it take time the clock's tick must not wait for, and a hung server would hold it.
class Player {
public:
    explicit Player(std::string appId) : appId_(std::move(appId)) {}
    ~Player() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable())
            thread_.join();
    }

    void Post(Request request) {
        {
            const std::lock_guard lock(mutex_);
            if (!thread_.joinable())
                thread_ = std::thread(&Player::Run, this);
            queue_.push_back(std::move(request));
        }
        wake_.notify_one();
    }

private:
    static constexpr auto RingFor = std::chrono::minutes(5);

    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                break;
            Request request = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            Handle(request);
            lock.lock();
        }
        lock.unlock();
        if (context_ != nullptr)
            ca_context_destroy(context_);
    }

    void Handle(const Request& request) {
        const auto now = std::chrono::steady_clock::now();
        switch (request.ask) {
        case Request::Stop:
            ringing_.id = 0;
            if (context_ != nullptr)
                ca_context_cancel(context_, request.id);
            return;
        case Request::Again:
            if (ringing_.id != request.id || now - ringingSince_ >= RingFor)
                return;
            break;
        case Request::Ring:
            ringing_ = request;
            ringingSince_ = now;
            break;
        case Request::Once:
            break;
        }
        if (context_ == nullptr && !Check(ca_context_create(&context_)))
            return;
        Play(request.ask == Request::Again ? ringing_ : request);
    }

    void Play(const Request& request) {
        ca_proplist* props = nullptr;
        ca_proplist_create(&props);
        ca_proplist_sets(props, CA_PROP_EVENT_ID, request.event.c_str());
        ca_proplist_sets(props, CA_PROP_EVENT_DESCRIPTION, request.description.c_str());
        ca_proplist_sets(props, CA_PROP_MEDIA_ROLE, "event");
        ca_proplist_sets(props, CA_PROP_APPLICATION_NAME, "ルピカ時計");
        ca_proplist_sets(props, CA_PROP_APPLICATION_ID, appId_.c_str());
        ca_proplist_sets(props, CA_PROP_APPLICATION_ICON_NAME, "rupika-tokei");
        // Kept by the server after the first play, so that the alarm's repeats cost it no decoding.
        ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "volatile");
        if (!request.window.empty())
            ca_proplist_sets(props, CA_PROP_WINDOW_X11_XID, request.window.c_str());
        Check(ca_context_play_full(context_, request.id, props, &Player::Finished, this));
        ca_proplist_destroy(props);
    }

    // Called on the sound system's own thread. A repeat asks for the alarm by its id alone, and is
    // dropped unless that alarm still rings.
    static void Finished(ca_context*, quint32 id, int error, void* self) {
        if (error == CA_SUCCESS)
            static_cast<Player*>(self)->Post({Request::Again, id, {}, {}, {}});
    }

    bool Check(int error) {
        if (error == CA_SUCCESS)
            return true;
        if (!warned_ && error != CA_ERROR_CANCELED)
            qCWarning(Said, "no sound (%s); the boxes go on in silence", ca_strerror(error));
        warned_ = true;
        return false;
    }

    const std::string appId_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Request> queue_;
    bool stopping_ = false;
    std::thread thread_;
    // Only the player's thread touches these.
    ca_context* context_ = nullptr;
    Request ringing_{Request::Stop, 0, {}, {}, {}};
    std::chrono::steady_clock::time_point ringingSince_;
    bool warned_ = false;
};

Player& ThePlayer() {
    static Player player(QGuiApplication::desktopFileName().toStdString());
    return player;
}
#endif

} // namespace

void SetSilent(bool on) {
    silent = on;
}

BoxSound::BoxSound(Kind kind, QWidget* box) {
    if (silent)
        return;
#if defined(RUPIKA_HAVE_CANBERRA)
    static quint32 lastId = 0;
    Player& player = ThePlayer();
    const char* const events[] = {"dialog-information", "dialog-warning", "alarm-clock-elapsed"};
    // Sound servers tie the sound to its window, on X by the window's id.
    const std::string window = QGuiApplication::platformName() == QLatin1String("xcb")
                                   ? std::to_string(static_cast<unsigned long long>(box->winId()))
                                   : std::string();
    const quint32 id = ++lastId;
    player.Post(
        {kind == Alarm ? Request::Ring : Request::Once, id, events[kind], box->windowTitle().toStdString(), window});
    if (kind == Alarm)
        id_ = id;
#elif defined(Q_OS_WIN)
    if (kind == Alarm) {
        // The system's default sound, looped by the system itself until the box goes or five minutes pass.
        PlaySoundW(reinterpret_cast<LPCWSTR>(SND_ALIAS_SYSTEMDEFAULT), nullptr, SND_ALIAS_ID | SND_ASYNC | SND_LOOP);
        QTimer::singleShot(5 * 60 * 1000, box, [] { PlaySoundW(nullptr, nullptr, 0); });
        id_ = 1;
    } else {
        MessageBeep(kind == Information ? MB_ICONINFORMATION : MB_OK);
    }
#else
    (void)box;
#endif
}

BoxSound::~BoxSound() {
    if (id_ == 0)
        return;
#if defined(RUPIKA_HAVE_CANBERRA)
    ThePlayer().Post({Request::Stop, id_, {}, {}, {}});
#elif defined(Q_OS_WIN)
    PlaySoundW(nullptr, nullptr, 0);
#endif
}

} // namespace runtime
