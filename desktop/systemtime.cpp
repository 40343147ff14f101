#include "desktop/systemtime.h"

namespace desktop {
namespace {

const aramu::Clock* installed = nullptr;

} // namespace

const aramu::Clock& ProgramClock() {
    static const aramu::SystemClock system;
    return installed != nullptr ? *installed : system;
}

void SetProgramClock(const aramu::Clock* clock) {
    installed = clock;
}

} // namespace desktop
