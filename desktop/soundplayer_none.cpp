// The player where the program knows no sound system: every box falls back to the display's bell.
#include "desktop/soundplayer.h"

namespace desktop {

void PlayerStart(const std::shared_ptr<Playing>& playing) {
    playing->state = Playing::Unheard;
}

void PlayerRingAgain(const std::shared_ptr<Playing>&) {}

void PlayerStop(const std::shared_ptr<Playing>&) {}

} // namespace desktop
