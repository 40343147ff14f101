// Power where the program knows no way to ask: the machine is left to its own settings.
#include "desktop/power.h"

namespace desktop {
namespace {

struct NoPower : PowerMeans {
    void Hold(const QString&, QWidget*, Answered) override {}
    void Wake(qint64, const QString&, Answered) override {}
    void Release() override {}
    void StopLeftovers() override {}
};

} // namespace

std::unique_ptr<PowerMeans> PlatformPowerMeans() {
    return std::make_unique<NoPower>();
}

} // namespace desktop
