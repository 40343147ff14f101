#include "desktop/said.h"

namespace desktop {

Q_LOGGING_CATEGORY(Said, "rupika-tokei")

} // namespace desktop
