// The player on free desktops: libcanberra, on a thread of its own, through PulseAudio where it can.
#include <QCoreApplication>
#include <QDir>

#include <canberra.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "desktop/identity.h"
#include "desktop/said.h"
#include "desktop/serverprobe.h"
#include "desktop/soundplayer.h"

namespace desktop {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
// How often a ringing alarm is looked after, and its server asked (see ServerProbe): a hang must ring the
// bell within 3 s.
constexpr auto LookEvery = 500ms;
// How much longer than its sound a play may take before it counts as stalled.
constexpr std::int64_t StallAfterMs = 2000;

struct Request {
    enum Ask { Start, RingAgain, Stop, Finished } ask;
    std::shared_ptr<Playing> playing; // Start, RingAgain, Stop
    quint32 id = 0;                   // Finished: the play that ended, and how
    int error = CA_SUCCESS;
};

// Where an alarm's sound comes from, each tried only when the one before fails.
enum class Source { Theme, Own };

// Connecting to a sound server, finding and decoding a sound take time the clock's tick must not wait for,
// and a hung server would hold it: the sound system is reached from this thread alone.
class Player {
public:
    Player() {
        const Identity& identity = ProgramIdentity();
        appName_ = identity.name.toStdString();
        appId_ = identity.id.toStdString();
        iconName_ = identity.iconName.toStdString();
        // The program's own alarm lies beside the program, installed or built, and is found without the
        // theme lookup that may just have failed.
        ownSound_ = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") +
                                    QCoreApplication::applicationName() + QStringLiteral("/alarm.wav"))
                        .toStdString();
    }

    void Post(Request request) {
        {
            const std::lock_guard lock(mutex_);
            // Once the end has begun, a late callback (from ca_context_destroy, or libpulse's own thread) must
            // not start the thread again on the context it may still be inside.
            if (stopping_)
                return;
            if (!thread_.joinable())
                thread_ = std::thread(&Player::Run, this);
            queue_.push_back(std::move(request));
        }
        wake_.notify_one();
    }

    // True when the thread has ended and the player may go. A thread held up by a hung sound server is
    // left to the end of the process instead of being waited for: see ThePlayer().
    bool Shutdown() {
        std::unique_lock lock(mutex_);
        stopping_ = true;
        wake_.notify_one();
        if (!thread_.joinable())
            return true;
        if (!ended_.wait_for(lock, 300ms, [this] { return finished_; })) {
            thread_.detach();
            return false;
        }
        lock.unlock();
        thread_.join();
        return true;
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            const auto more = [this] { return stopping_ || !queue_.empty(); };
            // While an alarm rings the player looks after it: a play may fail without a word.
            if (alarm_ && Clock::now() < ringsUntil_)
                wake_.wait_for(lock, LookEvery, more);
            else
                wake_.wait(lock, more);
            if (stopping_)
                break;
            std::deque<Request> requests;
            requests.swap(queue_);
            lock.unlock();
            for (const Request& request : requests)
                Handle(request);
            LookAfterAlarm();
            lock.lock();
        }
        lock.unlock();
        if (context_ != nullptr)
            ca_context_destroy(context_);
        lock.lock();
        finished_ = true;
        ended_.notify_all();
    }

    void Handle(const Request& request) {
        switch (request.ask) {
        case Request::Start:
            if (request.playing->kind != BoxSound::Alarm) {
                PlayOnce(*request.playing);
                return;
            }
            StopAlarm();
            alarm_ = request.playing;
            source_ = Source::Theme;
            [[fallthrough]];
        case Request::RingAgain:
            if (alarm_ != request.playing)
                return;
            ringsUntil_ = Clock::now() + RingFor;
            retryAt_ = {};
            return; // LookAfterAlarm plays it
        case Request::Stop:
            if (alarm_ == request.playing)
                StopAlarm();
            return;
        case Request::Finished:
            if (!alarm_ || request.id != alarmPlay_)
                return; // an earlier play, or one cancelled
            alarmPlay_ = 0;
            // Cut short, by a server that went away say; a play that ended well starts over at once.
            if (request.error != CA_SUCCESS && request.error != CA_ERROR_CANCELED) {
                Disconnect();
                Failed(*alarm_, request.error);
            } else if (request.error == CA_SUCCESS) {
                // The last play's length, not the shortest: a server that paused again and again takes a little
                // longer with each play afterwards (PulseAudio's null sink, seen in the e2e test), and a play held
                // up by a hang lends only the next one more time.
                lengthMs_[source_] = SteadyMs() - playedAt_;
            }
            return;
        }
    }

    void StopAlarm() {
        if (alarmPlay_ != 0 && context_ != nullptr)
            ca_context_cancel(context_, alarmPlay_);
        alarmPlay_ = 0;
        alarm_.reset();
    }

    void LookAfterAlarm() {
        if (!alarm_)
            return;
        // Asked before anything here that a hung server could hold up.
        if (pulse_ && context_ != nullptr && !probe_)
            probe_.emplace();
        if (probe_)
            probe_->Ask();
        const Clock::time_point now = Clock::now();
        if (now >= ringsUntil_) {
            if (alarmPlay_ != 0 && context_ != nullptr)
                ca_context_cancel(context_, alarmPlay_);
            alarmPlay_ = 0;
            return;
        }
        if (alarmPlay_ != 0) {
            // A server that went away may end the play without calling back: ask.
            int playing = 0;
            if (context_ != nullptr && ca_context_playing(context_, alarmPlay_, &playing) == CA_SUCCESS && playing)
                return;
            alarmPlay_ = 0;
        }
        if (now < retryAt_)
            return;
        int error = CA_SUCCESS, themeError = CA_SUCCESS;
        for (const Source source : {Source::Theme, Source::Own}) {
            if ((error = Connect()) != CA_SUCCESS)
                break;
            // Only PulseAudio cuts a play short when OK is pressed; elsewhere (ALSA) a play runs to its end, so
            // there the alarm is the program's own short one, repeated, never the theme's six seconds.
            if (source == Source::Theme && (source_ == Source::Own || !pulse_))
                continue;
            const quint32 id = Play(*alarm_, source, &error);
            if (id != 0) {
                if (themeError != CA_SUCCESS)
                    TellThemeFails(themeError);
                source_ = source;
                alarmPlay_ = id;
                playedAt_ = SteadyMs();
                // Until its length is known (after it first ends) a sound is given all the time it takes: its
                // server is watched by the probe.
                const auto length = lengthMs_.find(source);
                alarm_->heardUntil = length == lengthMs_.end() ? INT64_MAX : playedAt_ + length->second + StallAfterMs;
                Heard(*alarm_);
                return;
            }
            if (source == Source::Theme)
                themeError = error;
        }
        source_ = Source::Theme;
        Failed(*alarm_, error);
    }

    void PlayOnce(Playing& playing) {
        int error = CA_SUCCESS;
        if (Play(playing, Source::Theme, &error) != 0)
            Heard(playing);
        else
            Failed(playing, error);
    }

    // Starts one play, or returns 0 and says why in `error`.
    quint32 Play(const Playing& playing, Source source, int* error) {
        if ((*error = Connect()) != CA_SUCCESS)
            return 0;
        static const char* const events[] = {"dialog-information", "dialog-warning", "alarm-clock-elapsed"};
        const bool own = source == Source::Own;
        if (own && ownSound_.empty())
            return *error = CA_ERROR_NOTFOUND, 0;
        ca_proplist* props = nullptr;
        ca_proplist_create(&props);
        ca_proplist_sets(props, CA_PROP_EVENT_ID, own ? "rupika-tokei-alarm" : events[playing.kind]);
        if (own)
            ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, ownSound_.c_str());
        ca_proplist_sets(props, CA_PROP_EVENT_DESCRIPTION, playing.description.c_str());
        ca_proplist_sets(props, CA_PROP_MEDIA_ROLE, "event");
        ca_proplist_sets(props, CA_PROP_APPLICATION_NAME, appName_.c_str());
        ca_proplist_sets(props, CA_PROP_APPLICATION_ID, appId_.c_str());
        ca_proplist_sets(props, CA_PROP_APPLICATION_ICON_NAME, iconName_.c_str());
        if (!playing.window.empty())
            ca_proplist_sets(props, CA_PROP_WINDOW_X11_XID, playing.window.c_str());
        // The alarm's repeats come from the server's sample cache, decoded once. libcanberra keeps only
        // "permanent" sounds there, and one it uploads as it first plays it cannot be cancelled: so it is
        // uploaded beforehand, and where that fails it is streamed.
        bool cached = false;
        if (playing.kind == BoxSound::Alarm && pulse_) {
            const unsigned bit = own ? 2 : 1;
            ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "permanent");
            if ((cached_ & bit) == 0 && ca_context_cache_full(context_, props) == CA_SUCCESS)
                cached_ |= bit;
            cached = (cached_ & bit) != 0;
        }
        ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, cached ? "permanent" : "never");
        const quint32 id = ++lastId_;
        *error = ca_context_play_full(context_, id, props, &Player::Ended, this);
        ca_proplist_destroy(props);
        if (*error == CA_SUCCESS)
            return id;
        // Not found is the theme's or the file's doing; anything else may be a server gone or going.
        if (*error != CA_ERROR_NOTFOUND)
            Disconnect();
        return 0;
    }

    // Called on the sound system's own thread.
    static void Ended(ca_context*, quint32 id, int error, void* self) {
        static_cast<Player*>(self)->Post({Request::Finished, {}, id, error});
    }

    // A context that lost its server stays broken, so a new one is made for the next try. PulseAudio first,
    // unless the user named a driver: only there does cancelling a play stop it at once.
    int Connect() {
        if (context_ != nullptr)
            return CA_SUCCESS;
        const char* named = std::getenv("CANBERRA_DRIVER");
        int error = CA_SUCCESS;
        for (const bool pulse : {named == nullptr, false}) {
            if ((error = ca_context_create(&context_)) != CA_SUCCESS)
                return context_ = nullptr, error;
            if (pulse)
                ca_context_set_driver(context_, "pulse");
            if ((error = ca_context_open(context_)) == CA_SUCCESS) {
                pulse_ = pulse || (named != nullptr && std::strcmp(named, "pulse") == 0);
                cached_ = 0;
                return CA_SUCCESS;
            }
            Disconnect();
            if (named != nullptr)
                break;
        }
        return error;
    }

    void Disconnect() {
        if (context_ != nullptr)
            ca_context_destroy(context_);
        context_ = nullptr;
        alarmPlay_ = 0;
    }

    void Heard(Playing& playing) {
        playing.state = Playing::Heard;
        if (!Ending())
            SayBack();
    }

    // The alarm is tried again with the next bell.
    void Failed(Playing& playing, int error) {
        playing.state = Playing::Unheard;
        retryAt_ = Clock::now() + aramu::BellEvery;
        if (!Ending())
            SayNoSound(Reason(error));
    }

    // libcanberra's own words, and where they alone leave a newcomer guessing, what to look at.
    static std::string Reason(int error) {
        std::string reason = ca_strerror(error);
        if (error == CA_ERROR_NOTAVAILABLE)
            reason += ": no sound server answers; check that PulseAudio or PipeWire runs for this user";
        return reason;
    }

    // The program is ending: its logging may be going too.
    bool Ending() {
        const std::lock_guard lock(mutex_);
        return stopping_;
    }

    // Once: the fallback lasts for the rest of the run.
    void TellThemeFails(int error) {
        if (themeTold_ || Ending())
            return;
        themeTold_ = true;
        qCWarning(Said, "the sound theme's alarm cannot be played (%s); the clock's own sound instead",
                  ca_strerror(error));
    }

    std::string appName_, appId_, iconName_, ownSound_;
    std::mutex mutex_;
    std::condition_variable wake_, ended_;
    std::deque<Request> queue_;
    bool stopping_ = false, finished_ = false;
    std::thread thread_;

    // Only the player's thread touches these.
    ca_context* context_ = nullptr;
    bool pulse_ = false;
    unsigned cached_ = 0; // which of the alarm's sounds the server holds
    quint32 lastId_ = 0;
    std::shared_ptr<Playing> alarm_; // the ringing alarm's
    quint32 alarmPlay_ = 0;          // its play under way, 0 for none
    Source source_ = Source::Theme;
    Clock::time_point ringsUntil_, retryAt_;
    std::int64_t playedAt_ = 0;               // SteadyMs when the alarm's play under way began
    std::map<Source, std::int64_t> lengthMs_; // how long each sound takes to play to its end
    std::optional<ServerProbe> probe_;        // made with the first alarm heard through PulseAudio
    bool themeTold_ = false;
};

// Made at the first sound, so the idle clock pays nothing for it. At the end of the program the thread is
// given a moment to finish; if a hung sound server holds it inside libpulse, it is not waited for (that
// would keep a confirmed exit waiting for half a minute) and the player is left alive for it. That is safe:
// what runs after main() (static destructors, atexit handlers) touches neither libcanberra nor the player,
// the thread touches nothing of Qt's and says nothing once the end has begun, and the process then ends
// with the thread still inside libpulse.
Player& ThePlayer() {
    // What the thread may log through is made first, so that it is destroyed after the Ender has stopped it.
    (void)Said();
    static Player* const player = new Player;
    static const struct Ender {
        ~Ender() {
            if (player->Shutdown())
                delete player;
        }
    } ender;
    return *player;
}

} // namespace

void PlayerStart(const std::shared_ptr<Playing>& playing) {
    ThePlayer().Post({Request::Start, playing});
}

void PlayerRingAgain(const std::shared_ptr<Playing>& playing) {
    ThePlayer().Post({Request::RingAgain, playing});
}

void PlayerStop(const std::shared_ptr<Playing>& playing) {
    ThePlayer().Post({Request::Stop, playing});
}

} // namespace desktop
