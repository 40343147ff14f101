// units.h - layout units: twips to pixels
#pragma once

#include <QRect>

namespace forms {

// 15 twips make a pixel at 96 dpi; Qt's own high-DPI scaling takes it from there.
constexpr int Twips(int twips) {
    return twips / 15;
}
constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

} // namespace forms
