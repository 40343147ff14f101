// soundplayer.h - what BoxSound asks of the sound system, answered on a thread of the system's own
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "desktop/sound.h"

namespace desktop {

// How long an alarm rings, unless its box goes first.
inline constexpr std::chrono::minutes RingFor{5};

// One box's sound, shared by the box on the window thread and the player on its own thread.
struct Playing {
    enum State { Pending, Heard, Unheard };
    const BoxSound::Kind kind;
    const std::string description; // the box's title
    const std::string window;      // the box's X window id, where there is one
    std::atomic<State> state{Pending};
};

// Each returns at once; the player keeps what it needs of the box's sound.
void PlayerStart(const std::shared_ptr<Playing>& playing);
void PlayerRingAgain(const std::shared_ptr<Playing>& playing);
void PlayerStop(const std::shared_ptr<Playing>& playing);

} // namespace desktop
