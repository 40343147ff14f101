// serverprobe.h - a small question put to the sound server, apart from the sounds, to tell a hung one
#pragma once

#include <memory>

namespace desktop {

// A hung PulseAudio (or PipeWire) server neither fails a play nor ends it, and libcanberra keeps calling the
// play under way "playing": only a question of our own goes unanswered. It is asked on libpulse's own thread,
// so the hung server holds nobody, and ServerAskedAt() (soundplayer.h) tells the window thread how long it
// has waited. libpulse is loaded only when first needed; where it cannot be, nothing is asked.
class ServerProbe {
public:
    ServerProbe();
    ~ServerProbe();
    ServerProbe(const ServerProbe&) = delete;
    ServerProbe& operator=(const ServerProbe&) = delete;

    // Asks, unless a question waits still; a lost connection is made again first.
    void Ask();

private:
    struct Pulse;
    std::unique_ptr<Pulse> pulse_;
};

} // namespace desktop
