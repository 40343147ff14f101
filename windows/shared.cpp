#include "windows/shared.h"

#include "forms/fonts.h"

namespace windows {

std::vector<forms::Line> Stripe(int left, int y) {
    return {{left, y, left + 840, y, Yellow, true},
            {left + 840, y, left + 1680, y, Orange, false},
            {left + 1560, y, left + 2520, y, Red, false}};
}

QFont ButtonFont() {
    return forms::MakeFont(forms::Face::MsPMincho, 9, true);
}

forms::LineLayer* SettingStripes(QWidget* window, int left, int y) {
    std::vector<forms::Line> lines = Stripe(left, y);
    for (const forms::Line& line : Stripe(240, 1080))
        lines.push_back(line);
    return new forms::LineLayer(window, std::move(lines));
}

} // namespace windows
