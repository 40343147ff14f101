// soundplayer.h - what BoxSound asks of the sound system, answered on a thread of the system's own
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "core/soundrules.h"
#include "desktop/sound.h"

namespace desktop {

// How long an alarm rings is the program's rule; each player carries it out.
using aramu::RingFor;

// One box's sound, shared by the box on the window thread and the player on its own thread.
struct Playing {
    enum State { Pending, Heard, Unheard };
    const BoxSound::Kind kind;
    const std::string description; // the box's title
    const std::string window;      // the box's X window id, where there is one
    std::atomic<State> state{Pending};
    // Heard, but only until then (steady-clock milliseconds): a play that neither ends nor fails within its
    // sound's length and a little more has stalled with its server.
    std::atomic<std::int64_t> heardUntil{INT64_MAX};
};

// Milliseconds on the steady clock, as the shared fields above and below count them.
std::int64_t SteadyMs();

// When the sound server was asked a question it has not answered yet (SteadyMs), 0 while none waits. A hung
// server answers nothing and fails nothing, so only this tells it apart; only a player that can ask sets it.
std::atomic<std::int64_t>& ServerAskedAt();
// The server answered the question waiting in ServerAskedAt(), on whichever thread hears it. An answer that
// came late tells of a pause the window thread may not have seen while it lasted.
void ServerAnswered();

// What the program says of its sound, once for each outage and from whichever thread notices first:
// the first cause of an outage, then that it is over.
void SayNoSound(const std::string& why);
void SayBack();

// Each returns at once; the player keeps what it needs of the box's sound.
void PlayerStart(const std::shared_ptr<Playing>& playing);
void PlayerRingAgain(const std::shared_ptr<Playing>& playing);
void PlayerStop(const std::shared_ptr<Playing>& playing);

} // namespace desktop
