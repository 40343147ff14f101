// Power where the program knows no way to ask: the machine is left to its own settings.
#include "desktop/power.h"

namespace desktop {

struct Power::Impl {};

Power::Power() : impl_(std::make_unique<Impl>()) {}
Power::~Power() = default;

void Power::Hold(QTime, const QString&, QWidget*) {}

void Power::End() {}

Power& ProgramPower() {
    static Power* const power = new Power;
    return *power;
}

} // namespace desktop
