#include "desktop/serverprobe.h"

#include <dlfcn.h>
#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/thread-mainloop.h>

#include "desktop/soundplayer.h"

namespace desktop {

// libpulse is opened at run time: whoever hears the alarm through PulseAudio has it, and nobody else needs it.
struct ServerProbe::Pulse {
    template <class F> struct Fn {
        F* f = nullptr;
        bool Find(void* lib, const char* name) { return (f = reinterpret_cast<F*>(dlsym(lib, name))) != nullptr; }
    };
    Fn<decltype(pa_threaded_mainloop_new)> loopNew;
    Fn<decltype(pa_threaded_mainloop_free)> loopFree;
    Fn<decltype(pa_threaded_mainloop_start)> loopStart;
    Fn<decltype(pa_threaded_mainloop_stop)> loopStop;
    Fn<decltype(pa_threaded_mainloop_lock)> lock;
    Fn<decltype(pa_threaded_mainloop_unlock)> unlock;
    Fn<decltype(pa_threaded_mainloop_get_api)> api;
    Fn<decltype(pa_context_new)> contextNew;
    Fn<decltype(pa_context_connect)> connect;
    Fn<decltype(pa_context_disconnect)> disconnect;
    Fn<decltype(pa_context_unref)> unref;
    Fn<decltype(pa_context_get_state)> state;
    Fn<decltype(pa_context_set_state_callback)> onState;
    Fn<decltype(pa_context_get_server_info)> serverInfo;
    Fn<decltype(pa_operation_unref)> operationUnref;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;

    bool Load() {
        void* lib = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        return lib != nullptr && loopNew.Find(lib, "pa_threaded_mainloop_new") &&
               loopFree.Find(lib, "pa_threaded_mainloop_free") && loopStart.Find(lib, "pa_threaded_mainloop_start") &&
               loopStop.Find(lib, "pa_threaded_mainloop_stop") && lock.Find(lib, "pa_threaded_mainloop_lock") &&
               unlock.Find(lib, "pa_threaded_mainloop_unlock") && api.Find(lib, "pa_threaded_mainloop_get_api") &&
               contextNew.Find(lib, "pa_context_new") && connect.Find(lib, "pa_context_connect") &&
               disconnect.Find(lib, "pa_context_disconnect") && unref.Find(lib, "pa_context_unref") &&
               state.Find(lib, "pa_context_get_state") && onState.Find(lib, "pa_context_set_state_callback") &&
               serverInfo.Find(lib, "pa_context_get_server_info") && operationUnref.Find(lib, "pa_operation_unref");
    }

    void Drop() {
        if (context == nullptr)
            return;
        onState.f(context, nullptr, nullptr);
        disconnect.f(context);
        unref.f(context);
        context = nullptr;
    }

    // On libpulse's thread. Connecting is a question too: it waits for the server as much as any other.
    static void StateChanged(pa_context* context, void* self) {
        const pa_context_state_t now = static_cast<Pulse*>(self)->state.f(context);
        if (now == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(now))
            ServerAnswered(); // answered, or gone: a server that went away is not hung, and says so itself
    }
    static void Answered(pa_context*, const pa_server_info*, void*) { ServerAnswered(); }
};

ServerProbe::ServerProbe() {
    auto pulse = std::make_unique<Pulse>();
    if (!pulse->Load() || (pulse->loop = pulse->loopNew.f()) == nullptr)
        return;
    if (pulse->loopStart.f(pulse->loop) < 0) {
        pulse->loopFree.f(pulse->loop);
        return;
    }
    pulse_ = std::move(pulse);
}

ServerProbe::~ServerProbe() {
    if (!pulse_)
        return;
    pulse_->loopStop.f(pulse_->loop);
    pulse_->Drop();
    pulse_->loopFree.f(pulse_->loop);
}

void ServerProbe::Ask() {
    if (!pulse_ || ServerAskedAt() != 0)
        return;
    Pulse& p = *pulse_;
    p.lock.f(p.loop);
    if (p.context == nullptr || !PA_CONTEXT_IS_GOOD(p.state.f(p.context))) {
        p.Drop();
        p.context = p.contextNew.f(p.api.f(p.loop), "rupika-tokei");
        if (p.context != nullptr) {
            p.onState.f(p.context, &Pulse::StateChanged, &p);
            // Before connecting: a refusal may come at once, and clears it.
            ServerAskedAt() = SteadyMs();
            if (p.connect.f(p.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
                ServerAskedAt() = 0;
        }
    } else if (p.state.f(p.context) == PA_CONTEXT_READY) {
        if (pa_operation* question = p.serverInfo.f(p.context, &Pulse::Answered, nullptr)) {
            ServerAskedAt() = SteadyMs();
            p.operationUnref.f(question);
        }
    }
    p.unlock.f(p.loop);
}

} // namespace desktop
