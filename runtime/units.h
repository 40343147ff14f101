// units.h - layout units: twips to pixels and UTF-8 text to Qt strings
#pragma once

#include <QRect>
#include <QString>

#include <string>
#include <string_view>

namespace runtime {

// 15 twips make a pixel at 96 dpi; Qt's own high-DPI scaling takes it from there.
constexpr int Twips(int twips) {
    return twips / 15;
}
constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

inline QString ToQt(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string FromQt(const QString& text) {
    return text.toStdString();
}

} // namespace runtime
