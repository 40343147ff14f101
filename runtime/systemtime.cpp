#include "systemtime.h"

namespace runtime {
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

const aramu::LocaleFormats& UserFormats() {
    static const aramu::LocaleFormats formats = aramu::FormatsFor(QLocale::system());
    return formats;
}

} // namespace runtime
