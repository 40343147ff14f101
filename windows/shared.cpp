#include "windows/shared.h"

namespace windows {

std::vector<forms::Line> Stripe(int left, int y) {
    return {{left, y, left + 840, y, Yellow, true},
            {left + 840, y, left + 1680, y, Orange, false},
            {left + 1560, y, left + 2520, y, Red, false}};
}

} // namespace windows
