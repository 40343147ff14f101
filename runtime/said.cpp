#include "said.h"

namespace runtime {

Q_LOGGING_CATEGORY(Said, "rupika-tokei")

} // namespace runtime
