// shared.h - what the three windows share: the boxes' title, the colours, the buttons' face and the stripes
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <vector>

#include "forms/controls.h"

namespace windows {

// The boxes of the alarm and of the alarm-setting window all carry the program's short name.
inline const QString BoxTitle = QStringLiteral("ルピカ");

inline const QColor Lilac(0x80, 0x80, 0xFF);     // big text and button faces
inline const QColor PaleLilac(0xC0, 0xC0, 0xFF); // small labels
inline const QColor Yellow(0xFF, 0xFF, 0x00);
inline const QColor Orange(0xFF, 0x80, 0x00);
inline const QColor Red(0xFF, 0x00, 0x00);

// ＭＳ Ｐ明朝 9 pt bold, on every button.
QFont ButtonFont();

// The windows' stripe from `left` at height `y` (twips): yellow drawn by XOR, orange, then red
// overlapping the end of the orange.
std::vector<forms::Line> Stripe(int left, int y);

// The two setting windows' stripes: the upper one from `left` at `y`, and the lower one they share.
forms::LineLayer* SettingStripes(QWidget* window, int left, int y);

} // namespace windows
